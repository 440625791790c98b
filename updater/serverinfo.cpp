#include "serverinfo.h"

#include "iniencoding.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

#include <memory>

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
    // The settings class reads UTF-8 only: a file in another encoding is read from a converted copy.
    QString readable = path;
    std::unique_ptr<QTemporaryFile> converted;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray raw = file.readAll();
        const QByteArray utf8 = IniEncoding::toUtf8(raw);
        if (utf8 != raw) {
            converted = std::make_unique<QTemporaryFile>();
            if (converted->open() && converted->write(utf8) == utf8.size() && converted->flush())
                readable = converted->fileName();
        }
    }
    QSettings settings(readable, QSettings::IniFormat);
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
