#include "clientconfig.h"
#include "commandline.h"
#include "engineflags.h"
#include "folderinstall.h"
#include "mainwindow.h"
#include "programfolder.h"
#include "singleapplication.h"
#include "startuplogging.h"

#include <QDir>
#include <QIcon>
#include <QNetworkProxyFactory>

namespace {
const char Usage[] = "Usage: ORVN [--version | --help]\n"
                     "The Orvane network-TV client. Other arguments are ignored.\n";
} // namespace

int main(int argc, char **argv)
{
    if (const auto code = CommandLine::answerEarly(argc, argv, Usage))
        return *code;
    // A second start only hands "client" to the first one; settled before the window system and the
    // web engine are touched, it ends within a few milliseconds.
    if (SingleApplication::messageRunningInstance(QStringLiteral("ORVN"), QStringLiteral("client")))
        return 0;

    // An install that a kill cut short is finished or undone before anything reads the folder.
    FolderInstall::settleAtStart(argv);
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
