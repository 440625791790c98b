#pragma once

#include <QString>

// Both programs keep their files beside themselves. Installed system-wide (e.g. under /opt) that
// folder is read-only for the user, so what they write goes to the user's own folders instead.
namespace ProgramFolder {

// True when a file can be created in `folder`. Tries it, since permission bits tell nothing about
// read-only mounts, file-system uids or access lists.
bool isWritable(const QString &folder);

// Where a program writes its files: `programFolder` when it is writable, otherwise `userFolder`,
// created when missing. Empty when neither can be written.
QString writableFolder(const QString &programFolder, const QString &userFolder);

// The user's folders for this product: "<config home>/orvane" and "<cache home>/orvane".
QString userConfigFolder();
QString userCacheFolder();

} // namespace ProgramFolder
