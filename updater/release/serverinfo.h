#pragma once

#include "productversion.h"

#include <QString>
#include <QStringList>

// What the updater's configuration server announces.
struct ServerInfo
{
    QString appVersion;
    QString updatePackUrl;
    QString newVersionInfo;
    QString updatePackSha256;
    // Further addresses of the same package, ';'-separated in the file.
    QStringList updatePackMirrors;
    // The signed release manifest, in group Update beside the keys above.
    QString updateVersion;
    QString updatePackSize;
    QString updateExpires;
    QString updateAllowDowngrade;
    QString updateKeyId;
    QString updateSignature;
};

namespace ServerInfoFile {

// The version this updater treats as installed: the product's one version, which the client shows too.
inline constexpr char BuiltInVersion[] = ORVANE_PRODUCT_VERSION;

// Reads the announced values from the INI file at `path`; missing keys read as empty.
ServerInfo read(const QString &path);
// Any difference counts, older or malformed alike: the server decides what is current.
bool offersUpdate(const QString &builtInVersion, const QString &announcedVersion);

} // namespace ServerInfoFile
