#include "packagelauncher.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QUrl>

Q_LOGGING_CATEGORY(lcLauncher, "orvane.updater", QtWarningMsg)

namespace PackageLauncher {

bool isProgram(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head.startsWith("#!") || head == QByteArray("\x7f"
                                                       "ELF",
                                                       4);
}

bool start(const QString &path)
{
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
#ifdef Q_OS_WIN
    const bool started = QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
#else
    bool started = false;
    if (isProgram(absolute)) {
        QFile::setPermissions(absolute, QFile::permissions(absolute) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        started = QProcess::startDetached(absolute, {}, info.absolutePath());
    } else {
        started = QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
    }
#endif
    qCInfo(lcLauncher) << (started ? "started" : "could not start") << absolute;
    return started;
}

} // namespace PackageLauncher
