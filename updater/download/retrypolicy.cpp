#include "retrypolicy.h"

#include <QLocale>

namespace RetryPolicy {

bool madeProgress(qint64 bytes)
{
    return bytes >= 256 * 1024;
}

Fault faultOfStatus(int status)
{
    if (status == 200 || status == 206)
        return Fault::None;
    if (status == 416)
        return Fault::NoRanges;
    if (status == 429 || status >= 500)
        return Fault::Busy;
    return Fault::Refused;
}

int backoffMs(const Schedule &schedule, int retry, double jitter)
{
    qint64 delay = schedule.firstDelayMs;
    for (int i = 1; i < retry && delay < schedule.maxDelayMs; ++i)
        delay *= 2;
    delay = qMin<qint64>(delay, schedule.maxDelayMs);
    return int(delay / 2 + qint64(double(delay / 2) * qBound(0.0, jitter, 1.0)));
}

int retryAfterMs(const Schedule &schedule, const QByteArray &value, const QDateTime &now)
{
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return -1;
    bool isNumber = false;
    const qint64 seconds = text.toLongLong(&isNumber);
    qint64 ms = -1;
    if (isNumber) {
        // Bounded before it is multiplied, so a huge value cannot overflow into a short or negative wait.
        ms = seconds >= 0 ? qMin<qint64>(seconds, schedule.retryAfterCapMs / 1000 + 1) * 1000 : -1;
    } else {
        // The HTTP date form, e.g. "Sun, 06 Nov 1994 08:49:37 GMT".
        QDateTime when =
            QLocale::c().toDateTime(QString::fromLatin1(text), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"));
        if (!when.isValid())
            return -1;
        when.setTimeSpec(Qt::UTC);
        ms = qMax<qint64>(0, now.msecsTo(when));
    }
    if (ms < 0)
        return -1;
    return int(qMin<qint64>(ms, schedule.retryAfterCapMs));
}

int delayMs(const Schedule &schedule, Fault fault, int retry, double jitter, const QByteArray &retryAfter,
            const QDateTime &now)
{
    if (fault == Fault::Busy) {
        const int asked = retryAfterMs(schedule, retryAfter, now);
        if (asked >= 0)
            return asked;
    }
    return backoffMs(schedule, retry, jitter);
}

bool allowsRanges(qint64 size, const QByteArray &acceptRanges)
{
    return size > 0 && acceptRanges.trimmed().toLower() != "none";
}

QByteArray ifRangeValue(const QByteArray &etag, const QByteArray &lastModified)
{
    if (!etag.isEmpty() && !etag.startsWith("W/"))
        return etag;
    return lastModified;
}

Fault faultOfFullAnswer(const QByteArray &sentIfRange, const QByteArray &etag, const QByteArray &lastModified,
                        bool rangeFromStart, qint64 contentLength, qint64 packageSize)
{
    if (!sentIfRange.isEmpty() && sentIfRange != etag && sentIfRange != lastModified &&
        !(etag.isEmpty() && lastModified.isEmpty()))
        return Fault::Changed;
    if (rangeFromStart && packageSize > 0 && contentLength == packageSize)
        return Fault::None;
    return Fault::NoRanges;
}

} // namespace RetryPolicy
