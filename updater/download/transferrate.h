#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QtGlobal>

// The download's speed over the last few seconds, from the byte count at moments the caller gives,
// so it is tested without a clock.
class TransferRate final
{
public:
    // The speed over the last `windowMs` (5 s: long enough to smooth the bursts of several parts, short
    // enough to follow a changing line); nothing is told before a tenth of that has passed.
    explicit TransferRate(qint64 windowMs = 5000);

    // `bytes` received in all by `atMs` (any monotonic clock in milliseconds).
    void add(qint64 bytes, qint64 atMs);
    void clear();
    // 0 until two samples lie far enough apart to say anything.
    double bytesPerSecond() const;
    // Seconds until `total` bytes at the current speed; -1 when that cannot be told.
    qint64 secondsLeft(qint64 total) const;

private:
    qint64 windowMs = 5000;
    QList<QPair<qint64, qint64>> samples; // (ms, bytes)
};

namespace TransferText {

// "850 KB/s", "1.2 MB/s".
QString speed(double bytesPerSecond);
// "45 秒", "3 分 05 秒", "2 小时 10 分".
QString duration(qint64 seconds);

} // namespace TransferText
