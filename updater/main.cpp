#include "mainwindow.h"
#include "singleapplication.h"

#include <QDir>

int main(int argc, char **argv)
{
    // Shares the client's key, so the two programs can find each other.
    SingleApplication app(argc, argv, QStringLiteral("ORVN"));
    // ServerConfig.ini, update.ico and the downloaded package all lie beside the program.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    MainWindow window(&app, nullptr);
    window.show();
    return app.exec();
}
