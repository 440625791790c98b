#include "clientconfig.h"
#include "commandline.h"
#include "engineflags.h"
#include "enginerefusal.h"
#include "folderinstall.h"
#include "logfile.h"
#include "mainwindow.h"
#include "producticon.h"
#include "programfolder.h"
#include "singleapplication.h"
#include "startupfailure.h"
#include "startuplogging.h"
#include "translations.h"
#include "updaterlauncher.h"

#include <QDir>
#include <QNetworkProxyFactory>

#include <unistd.h>

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

    LogFile::install(QStringLiteral("orvn.log"));
    // An install that a kill cut short is finished or undone before anything reads the folder.
    FolderInstall::settleAtStart(argv);
    StartupLogging::apply();
    EngineFlags::apply();
    if (!StartupFailure::checkDisplay("ORVN"))
        return 1;
    // The web engine shares its GL contexts with the GUI; this must precede the application object.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    StartupFailure::guardPlatform("ORVN");
    SingleApplication app(argc, argv, QStringLiteral("ORVN"));
    StartupFailure::platformReady();
    if (app.isRunning()) { // another start took the key a moment ago
        app.sendMessage(QStringLiteral("client"));
        return 0;
    }
    Translations::install();
    // Said before the engine starts, which would otherwise end the program without a word.
    if (StartupFailure::engineRefusesUser(::geteuid(), QProcessEnvironment::systemEnvironment()))
        return EngineRefusal::report();
    UpdaterLauncher::followUserTime();
    // Every window of the client, message boxes included, carries the product's icon.
    QApplication::setWindowIcon(ProductIcon::forWindows());
    // Ties the window to the installed desktop entry (its name and icon in docks and on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("net.orvane.ORVN"));
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
