#include "traynotice.h"

#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QSettings>

namespace TrayNotice {

namespace {
const QString Key = QStringLiteral("trayMessageShown");
} // namespace

QString defaultFile()
{
    return ProgramFolder::userConfigFolder() + QStringLiteral("/notices.ini");
}

bool takeFirstTime(const QString &file)
{
    static QSet<QString> toldThisRun;
    if (toldThisRun.contains(file))
        return false;
    toldThisRun.insert(file);
    QDir().mkpath(QFileInfo(file).path());
    QSettings settings(file, QSettings::IniFormat);
    if (settings.value(Key).toBool())
        return false;
    settings.setValue(Key, true);
    return true;
}

} // namespace TrayNotice
