#include "clientconfig.h"
#include "engineflags.h"
#include "mainwindow.h"
#include "programfolder.h"
#include "singleapplication.h"
#include "startuplogging.h"

#include <QDir>
#include <QIcon>
#include <QNetworkProxyFactory>

int main(int argc, char **argv)
{
    // A second start only hands "client" to the first one; settled before the window system and the
    // web engine are touched, it ends within a few milliseconds.
    if (SingleApplication::messageRunningInstance(QStringLiteral("ORVN"), QStringLiteral("client")))
        return 0;

    StartupLogging::apply();
    EngineFlags::apply();
    // The web engine shares its GL contexts with the GUI; this must precede the application object.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    SingleApplication app(argc, argv, QStringLiteral("ORVN"));
    if (app.isRunning()) { // another start took the key a moment ago
        app.sendMessage(QStringLiteral("client"));
        return 0;
    }
    // Ties the window to the installed desktop entry (its name and icon in docks and on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("net.orvane.ORVN"));
    // Every window without an icon of its own, the pop-ups among them, shows the product's.
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/img/img/ico.png")));
    // All HTTP traffic follows the system's proxy settings: Qt Network's and, because the web engine
    // reads this switch when it starts, the channel pages' too. Must precede the first request.
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    // Every relative file (config.ini, html/, skin/, the updater) lies beside the program.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    clientConfig = new ClientConfig;
    clientConfig->load(ClientConfig::settingsFile(QDir::currentPath(), ProgramFolder::userConfigFolder()));

    MainWindow window; // shows itself; frees clientConfig when destroyed
    QObject::connect(&app, &SingleApplication::messageAvailable, &window, &MainWindow::receiveMessage);
    return app.exec();
}
