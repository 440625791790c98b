#include "serverinfo.h"

#include "iniencoding.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

#include <memory>

namespace ServerInfoFile {

namespace {

// Addresses are separated by ';'; spaces around them are dropped.
QStringList mirrorList(const QString &value)
{
    QStringList urls;
    for (const QString &part : value.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!part.trimmed().isEmpty())
            urls.append(part.trimmed());
    }
    return urls;
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
    info.appVersion = IniEncoding::exactValue(settings, readable, QStringLiteral("AppVersion"));
    settings.beginGroup(QStringLiteral("Update"));
    info.updatePackUrl = IniEncoding::exactValue(settings, readable, QStringLiteral("updatePackUrl"));
    info.newVersionInfo = IniEncoding::exactValue(settings, readable, QStringLiteral("newVersionInfo"));
    info.updatePackSha256 = IniEncoding::exactValue(settings, readable, QStringLiteral("updatePackSha256"));
    info.updatePackMirrors =
        mirrorList(IniEncoding::rawValue(readable, QStringLiteral("Update"), QStringLiteral("updatePackMirrors")));
    info.updateVersion = IniEncoding::exactValue(settings, readable, QStringLiteral("updateVersion"));
    info.updatePackSize = IniEncoding::exactValue(settings, readable, QStringLiteral("updatePackSize"));
    info.updateExpires = IniEncoding::exactValue(settings, readable, QStringLiteral("updateExpires"));
    info.updateAllowDowngrade = IniEncoding::exactValue(settings, readable, QStringLiteral("updateAllowDowngrade"));
    info.updateKeyId = IniEncoding::exactValue(settings, readable, QStringLiteral("updateKeyId"));
    info.updateSignature = IniEncoding::exactValue(settings, readable, QStringLiteral("updateSignature"));
    settings.endGroup();
    return info;
}

bool offersUpdate(const QString &builtInVersion, const QString &announcedVersion)
{
    return builtInVersion != announcedVersion;
}

} // namespace ServerInfoFile
