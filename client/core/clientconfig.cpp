#include "clientconfig.h"

#include "deployment.h"
#include "productversion.h"
#include "programfolder.h"
#include "translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcClientConfig, "orvane.config", QtWarningMsg)

ClientConfig *clientConfig = nullptr;

namespace {
const QString SkinGroup = QStringLiteral("Skin");
}

ClientConfig::ClientConfig()
    : configPath(QDir::currentPath() + QStringLiteral("/config.ini")),
      productName(QCoreApplication::translate("ClientConfig", "Orvane网络电视")),
      appVersion(QStringLiteral(ORVANE_PRODUCT_VERSION)),
      serverConfigUrl(Deployment::serverUrl() + QStringLiteral("/soft/config.ini")),
      pageUrl1(Deployment::serverUrl() + QStringLiteral("/soft/iflive.html")),
      pageUrl2(Deployment::serverUrl() + QStringLiteral("/soft/ifback.html")),
      pageUrl3(Deployment::serverUrl() + QStringLiteral("/vods/ifbdhd.html")),
      pageUrl4(Deployment::serverUrl() + QStringLiteral("/soft/ifapps.html")),
      bannerADUrl(
          Translations::localizedFile(QDir::currentPath() + QStringLiteral("/html"), QStringLiteral("errorb.html"))),
      skinPicFolder(QStringLiteral("skin/")), skinFName1(QStringLiteral("blue.gif")),
      skinFName2(QStringLiteral("red.gif")), skinFName3(QStringLiteral("black.gif")),
      skinFName4(QStringLiteral("yishu.gif")), skinFName5(QStringLiteral("zise.gif")),
      skinFName6(QStringLiteral("niuzai.gif")), skinFName7(QStringLiteral("shuidi.gif")),
      skinFName8(QStringLiteral("green.gif")), skinFName9(QStringLiteral("love.gif"))
{
}

QString *ClientConfig::skinFName(int index)
{
    QString *const names[] = {&skinFName1, &skinFName2, &skinFName3, &skinFName4, &skinFName5,
                              &skinFName6, &skinFName7, &skinFName8, &skinFName9};
    return names[index - 1];
}

bool ClientConfig::load(const QString &path)
{
    configPath = path.isEmpty() ? QDir::currentPath() + QStringLiteral("/config.ini") : path;

    // Absent keys deliberately replace the defaults with empty values: the window then falls back to
    // its built-in skin, and the next save writes a complete group.
    QSettings settings(configPath, QSettings::IniFormat);
    settings.beginGroup(SkinGroup);
    skinPicFolder = settings.value(QStringLiteral("skinPicFolder")).toString();
    for (int i = 1; i <= 9; ++i)
        *skinFName(i) = settings.value(QStringLiteral("skinFName%1").arg(i)).toString();
    currentSkinIndex = settings.value(QStringLiteral("currentSkinIndex")).toInt();
    settings.endGroup();
    return true;
}

QString ClientConfig::settingsFile(const QString &programFolder, const QString &userFolder)
{
    const QString shipped = QDir(programFolder).filePath(QStringLiteral("config.ini"));
    if (ProgramFolder::isWritable(programFolder)) {
        QFile file(shipped);
        if (!file.exists() || file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            return shipped;
    }

    const QString own = QDir(userFolder).filePath(QStringLiteral("config.ini"));
    if (QFile::exists(own))
        return own;
    if (ProgramFolder::writableFolder(QString(), userFolder).isEmpty()) {
        qCInfo(lcClientConfig) << "neither" << programFolder << "nor" << userFolder
                               << "is writable; skin choices are not kept";
        return shipped;
    }
    // Without the shipped skin names no skin could be chosen, so a failed copy keeps reading those.
    // The copy keeps the shipped file's mode, which may be read-only.
    if (QFile::exists(shipped) && (!QFile::copy(shipped, own) ||
                                   !QFile::setPermissions(own, QFile::permissions(own) | QFileDevice::WriteOwner))) {
        qCInfo(lcClientConfig) << "could not copy" << shipped << "to" << own;
        QFile::remove(own);
        return shipped;
    }
    qCInfo(lcClientConfig) << programFolder << "is read-only; settings are kept in" << own;
    return own;
}

bool ClientConfig::save()
{
    QSettings settings(configPath, QSettings::IniFormat);
    settings.beginGroup(SkinGroup);
    settings.setValue(QStringLiteral("skinPicFolder"), skinPicFolder);
    for (int i = 1; i <= 9; ++i)
        settings.setValue(QStringLiteral("skinFName%1").arg(i), *skinFName(i));
    settings.setValue(QStringLiteral("currentSkinIndex"), currentSkinIndex);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}
