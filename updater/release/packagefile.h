#pragma once

#include <QString>

class QUrl;

// Where an update package may come from and the name it is saved under: part of what a release signs,
// so the updater and the operator's tool must agree on it.
namespace PackageFile {

// The local file name for a package: `saveName` when given, otherwise the URL path's last component,
// or "updatePack.exe" when that is empty, names a directory ("." or "..") or one of the programs'
// files. A component with a control character, a slash or more than 200 bytes becomes "updatePack"
// with the component's extension.
QString outputName(const QUrl &url, const QString &saveName);

// Only http and https addresses with a host are downloaded; a package from anywhere else (file:,
// ftp:, qrc:, a bare path) would be run without ever having been fetched from the update server.
bool isFetchableUrl(const QUrl &url);

} // namespace PackageFile
