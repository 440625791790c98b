// Downloads one URL with the updater's DownloadControl, without a window, and prints what it cost:
//   renovo_bench <url> [parts] [folder] [kill-at]
// One line on stdout: bytes, body bytes fetched, seconds, MiB/s, peak resident memory (MiB), and the
// outcome. With kill-at (a fraction such as 0.5) the process kills itself with SIGKILL once that much
// of the package has arrived, as a crash or a killed updater would end.
#include "downloadcontrol.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <csignal>

namespace {

// Peak resident set size of this process in KiB, as the kernel counts it.
qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    if (args.size() < 2) {
        out << "usage: renovo_bench <url> [parts=5] [folder=.] [kill-at]" << Qt::endl;
        return 2;
    }
    const int parts = args.size() > 2 ? args.at(2).toInt() : 5;
    if (args.size() > 3)
        QDir::setCurrent(args.at(3));
    const double killAt = args.size() > 4 ? args.at(4).toDouble() : 0;

    DownloadControl control;
    qint64 bytes = 0;
    QObject::connect(&control, &DownloadControl::FileDownloadProgress, &app,
                     [&bytes, killAt](qint64 current, qint64 total) {
                         bytes = current;
                         if (killAt > 0 && total > 0 && current >= total * killAt)
                             ::raise(SIGKILL);
                     });
    QObject::connect(&control, &DownloadControl::FileDownloadFinished, &app, &QCoreApplication::quit);
    QElapsedTimer timer;
    timer.start();
    control.FetchFile(args.at(1), parts, QString());
    app.exec();
    const double seconds = timer.nsecsElapsed() / 1e9;

    const bool ok = !control.OutputFileName().isEmpty();
    out << "bytes=" << bytes << " fetched=" << control.FetchedBytes() << " seconds=" << QString::number(seconds, 'f', 3)
        << " MiB/s=" << QString::number(bytes / 1048576.0 / seconds, 'f', 1)
        << " peak_rss_MiB=" << QString::number(peakResidentKiB() / 1024.0, 'f', 1)
        << " result=" << (ok ? QStringLiteral("ok") : QStringLiteral("failed: ") + control.ErrorString()) << Qt::endl;
    return ok ? 0 : 1;
}
