#pragma once

#include <QString>

// The first time a user hides the window to the tray, a tray message says that the program goes on
// running there. That it was shown is remembered in the user's config folder, so it is said once.
namespace TrayNotice {

// The file that remembers it: "<user config folder>/notices.ini".
QString defaultFile();

// True the first time it is asked for `file`, which it then records; false from then on. A file that
// cannot be written gives true once per run, so a user is told at least once but never nagged.
bool takeFirstTime(const QString &file);

} // namespace TrayNotice
