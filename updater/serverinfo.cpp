#include "serverinfo.h"

#include <QSettings>
#include <QStringList>

namespace ServerInfoFile {

namespace {

// An unquoted INI value with commas reads as a list; it is one text to us.
QString text(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1String(", "));
    return value.toString();
}

} // namespace

ServerInfo read(const QString &path)
{
    ServerInfo info;
    QSettings settings(path, QSettings::IniFormat);
    info.appVersion = text(settings, QStringLiteral("AppVersion"));
    settings.beginGroup(QStringLiteral("Update"));
    info.updatePackUrl = text(settings, QStringLiteral("updatePackUrl"));
    info.newVersionInfo = text(settings, QStringLiteral("newVersionInfo"));
    info.updatePackSha256 = text(settings, QStringLiteral("updatePackSha256"));
    info.updateVersion = text(settings, QStringLiteral("updateVersion"));
    info.updatePackSize = text(settings, QStringLiteral("updatePackSize"));
    info.updateExpires = text(settings, QStringLiteral("updateExpires"));
    info.updateAllowDowngrade = text(settings, QStringLiteral("updateAllowDowngrade"));
    info.updateKeyId = text(settings, QStringLiteral("updateKeyId"));
    info.updateSignature = text(settings, QStringLiteral("updateSignature"));
    settings.endGroup();
    return info;
}

bool offersUpdate(const QString &builtInVersion, const QString &announcedVersion)
{
    return builtInVersion != announcedVersion;
}

} // namespace ServerInfoFile
