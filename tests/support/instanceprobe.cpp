// A stand-in program around SingleApplication for the process tests. It reports its role on stdout
// and, as primary, every message it receives (hex-encoded, one per line); "quit" ends it.
//   instanceprobe <key> [message] [--linger]
// A secondary sends `message` (default "client") and exits, or with --linger keeps running.
#include "singleapplication.h"

#include <QTextStream>

int main(int argc, char **argv)
{
    const QString key = QString::fromLocal8Bit(argv[1]);
    SingleApplication app(argc, argv, key);
    const QStringList args = app.arguments();
    const QString message =
        args.size() > 2 && args.at(2) != QLatin1String("--linger") ? args.at(2) : QStringLiteral("client");
    QTextStream out(stdout);
    if (app.isRunning()) {
        const bool sent = app.sendMessage(message);
        out << "secondary sent=" << int(sent) << Qt::endl;
        if (!args.contains(QLatin1String("--linger")))
            return 0;
        return app.exec();
    }
    out << "primary listening=" << int(app.isListening()) << Qt::endl;
    QObject::connect(&app, &SingleApplication::messageAvailable, &app, [&out](const QString &text) {
        out << "message:" << text.toUtf8().toHex() << Qt::endl;
        if (text == QLatin1String("quit"))
            QCoreApplication::quit();
    });
    return app.exec();
}
