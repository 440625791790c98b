#include "instancelock.h"
#include "mainwindow.h"
#include "pinnedkeys.h"
#include "programfolder.h"
#include "releasemanifest.h"
#include "singleapplication.h"
#include "startuplogging.h"

#include <QDir>
#include <QNetworkProxyFactory>

int main(int argc, char **argv)
{
    StartupLogging::apply();
    // One updater at a time: two would download the same package and hand over twice.
    const InstanceLock updaterLock(QStringLiteral("Renovo"));
    if (updaterLock.state() == InstanceLock::State::Secondary)
        return 0;

    // Shares the client's key, so the two programs can find each other. With no client running the
    // updater does not keep the key: a client started meanwhile must be able to start, and is found
    // afresh when the download ends.
    SingleApplication app(argc, argv, QStringLiteral("ORVN"));
    app.releaseKey();
    // The configuration check and the download follow the system's proxy settings.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    // update.ico lies beside the program, and so do ServerConfig.ini and the downloaded package unless
    // the folder is read-only to this user (a system-wide install): those then go to the user's cache.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    MainWindow window(&app, nullptr);
    window.setWorkFolder(ProgramFolder::writableFolder(QDir::currentPath(),
                                                       ProgramFolder::userCacheFolder() + QStringLiteral("/update")));
    window.setTrustedKeys(Release::parsePublicKeys(QStringLiteral(ORVANE_PINNED_UPDATE_KEYS)));
    window.show();
    return app.exec();
}
