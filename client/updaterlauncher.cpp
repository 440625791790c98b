#include "updaterlauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QProcess>
#include <QUrl>

Q_LOGGING_CATEGORY(lcLauncher, "orvane.launcher", QtWarningMsg)

namespace UpdaterLauncher {

namespace {
std::function<bool()> &testStarter()
{
    static std::function<bool()> starter;
    return starter;
}
} // namespace

bool start()
{
    if (testStarter())
        return testStarter()();
#ifdef Q_OS_WIN
    return QDesktopServices::openUrl(QUrl(QStringLiteral("Renovo.exe")));
#else
    // The desktop's open operation does not run programs here, so start it directly.
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/Renovo");
    const bool started = QProcess::startDetached(program, {}, QCoreApplication::applicationDirPath());
    if (!started)
        qCWarning(lcLauncher) << "cannot start" << program;
    return started;
#endif
}

void setStarterForTest(std::function<bool()> starter)
{
    testStarter() = std::move(starter);
}

} // namespace UpdaterLauncher
