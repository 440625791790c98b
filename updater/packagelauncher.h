#pragma once

#include <QString>

namespace PackageLauncher {

// True when the file starts like something the system runs directly (an ELF binary or a script
// with "#!"), as opposed to a document or archive for the desktop to open.
bool isProgram(const QString &path);

// Starts the downloaded package without waiting: a program is made executable for its user and run
// in its own folder; anything else goes to the desktop's open operation.
bool start(const QString &path);

} // namespace PackageLauncher
