#include "clientconfig.h"
#include "mainwindow.h"
#include "singleapplication.h"

#include <QDir>

int main(int argc, char **argv)
{
    // The web engine shares its GL contexts with the GUI; this must precede the application object.
    // Nothing of the engine is created before the single-instance check, so a second start stays quick.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    SingleApplication app(argc, argv, QStringLiteral("ORVN"));
    if (app.isRunning()) {
        app.sendMessage(QStringLiteral("client"));
        return 0;
    }

    // Every relative file (config.ini, html/, skin/, the updater) lies beside the program.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    clientConfig = new ClientConfig;
    clientConfig->load(QString());

    MainWindow window; // shows itself; frees clientConfig when destroyed
    QObject::connect(&app, &SingleApplication::messageAvailable, &window, &MainWindow::receiveMessage);
    return app.exec();
}
