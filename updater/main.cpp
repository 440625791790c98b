#include "commandline.h"
#include "folderinstall.h"
#include "logfile.h"
#include "mainwindow.h"
#include "pinnedkeys.h"
#include "programfolder.h"
#include "releasemanifest.h"
#include "singleapplication.h"
#include "startupfailure.h"
#include "startuplogging.h"
#include "translations.h"

#include <QDir>
#include <QIcon>
#include <QNetworkProxyFactory>

namespace {
const char Usage[] = "Usage: Renovo [--version | --help]\n"
                     "The Orvane updater: checks for, downloads and installs a new version. Other arguments are "
                     "ignored.\n";
} // namespace

int main(int argc, char **argv)
{
    if (const auto code = CommandLine::answerEarly(argc, argv, Usage))
        return *code;
    LogFile::install(QStringLiteral("renovo.log"));
    StartupLogging::apply();
    // One updater at a time: two would download the same package and hand over twice. A second start
    // brings the running updater's window forward instead, so the user sees why nothing new opened.
    // The updater has a key of its own: the client's key stays free for a client started meanwhile,
    // which is found afresh when the download ends.
    const QString updaterKey = QStringLiteral("Renovo");
    if (SingleApplication::messageRunningInstance(updaterKey, QStringLiteral("show")))
        return 0;
    // An install that a kill cut short is finished or undone before anything else reads the folder.
    FolderInstall::settleAtStart(argv);
    if (!StartupFailure::checkDisplay("Renovo"))
        return 1;
    StartupFailure::guardPlatform("Renovo");
    SingleApplication app(argc, argv, updaterKey);
    StartupFailure::platformReady();
    if (app.isRunning()) {
        app.sendMessage(QStringLiteral("show"));
        return 0;
    }
    Translations::install();
    // The configuration check and the download follow the system's proxy settings.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    // update.ico lies beside the program, and so do ServerConfig.ini and the downloaded package unless
    // the folder is read-only to this user (a system-wide install): those then go to the user's cache.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    // Every window of the updater, message boxes included, carries its icon.
    QApplication::setWindowIcon(QIcon(QStringLiteral("update.ico")));

    MainWindow window(&app, nullptr);
    window.setWorkFolder(ProgramFolder::writableFolder(QDir::currentPath(),
                                                       ProgramFolder::userCacheFolder() + QStringLiteral("/update")));
    window.setTrustedKeys(Release::parsePublicKeys(QStringLiteral(ORVANE_PINNED_UPDATE_KEYS)));
    window.show();
    return app.exec();
}
