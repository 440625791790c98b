#include "transferrate.h"

#include <QCoreApplication>

#include <cmath>

TransferRate::TransferRate(qint64 window) : windowMs(window)
{
}

void TransferRate::add(qint64 bytes, qint64 atMs)
{
    samples.append({atMs, bytes});
    while (samples.size() > 2 && atMs - samples.at(1).first >= windowMs)
        samples.removeFirst();
}

void TransferRate::clear()
{
    samples.clear();
}

double TransferRate::bytesPerSecond() const
{
    if (samples.size() < 2)
        return 0;
    const qint64 span = samples.last().first - samples.first().first;
    if (span < windowMs / 10)
        return 0;
    return qMax<qint64>(0, samples.last().second - samples.first().second) * 1000.0 / double(span);
}

qint64 TransferRate::secondsLeft(qint64 total) const
{
    const double rate = bytesPerSecond();
    if (rate <= 0 || total <= 0 || samples.isEmpty())
        return -1;
    return qint64(std::ceil(double(qMax<qint64>(0, total - samples.last().second)) / rate));
}

namespace TransferText {

QString speed(double bytesPerSecond)
{
    const double kib = bytesPerSecond / 1024;
    if (kib < 1000)
        return QStringLiteral("%1 KB/s").arg(qRound(kib));
    return QStringLiteral("%1 MB/s").arg(kib / 1024, 0, 'f', 1);
}

QString duration(qint64 seconds)
{
    if (seconds < 60)
        return QCoreApplication::translate("TransferText", "%1 秒").arg(seconds);
    if (seconds < 3600)
        return QCoreApplication::translate("TransferText", "%1 分 %2 秒")
            .arg(seconds / 60)
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QCoreApplication::translate("TransferText", "%1 小时 %2 分")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'));
}

} // namespace TransferText
