#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

// How the package download reacts when a request goes wrong: which faults are worth asking again, how
// long to wait before doing so, and when to give up. Plain functions, so the schedule is tested
// without a network.
namespace RetryPolicy {

// What went wrong with one request of the download. Broken, Unreachable and Busy pass: the part is
// asked for again from the byte it reached.
enum class Fault {
    None,
    Broken,      // reset, stalled, cut short, or a network error after connecting
    Unreachable, // no connection at all (refused, unknown host, timed out while connecting)
    Busy,        // 5xx, or 429: the server may serve it later
    NoRanges,    // 200 for a range, or 416 for a range that exists: the server does not do ranges
    Changed,     // the package on the server is another one now (size or validator)
    Oversized,   // more bytes than the signed package has
    Refused,     // any other answer that is not the package: 4xx, wrong Content-Range, encoded body
    Disk,        // the file cannot be written
};

struct Schedule
{
    // Requests again per part before the download fails.
    int retries = 5;
    // The first wait; each further one doubles, up to maxDelayMs.
    int firstDelayMs = 500;
    int maxDelayMs = 16000;
    // A server's Retry-After is honoured up to this.
    int retryAfterCapMs = 60000;
};

// Whether a broken request delivered enough to count as progress. The part's retries then start
// again and it is asked for again at once: a line that breaks now and then still finishes, while a
// server that fails at once is given ever longer pauses.
bool madeProgress(qint64 bytes);

// The fault an HTTP status stands for when the answer is not the one asked for; None for 200 and 206.
Fault faultOfStatus(int status);

// The wait before retry number `retry` (1 for the first): exponential from firstDelayMs, capped, and
// spread by `jitter` (0..1) over its upper half, so parts broken together do not return together.
int backoffMs(const Schedule &schedule, int retry, double jitter);

// The wait a Retry-After value asks for (seconds, or an HTTP date relative to `now`), capped at
// retryAfterCapMs; -1 when the value is missing or unreadable.
int retryAfterMs(const Schedule &schedule, const QByteArray &value, const QDateTime &now);

// The wait before retry number `retry` after `fault`: the server's Retry-After for Busy answers that
// carry one, the backoff otherwise.
int delayMs(const Schedule &schedule, Fault fault, int retry, double jitter, const QByteArray &retryAfter,
            const QDateTime &now);

// Fallback rules

// Whether a package of `size` bytes may be fetched in ranges, after its HEAD answered with this
// Accept-Ranges value; otherwise it comes in one plain GET.
bool allowsRanges(qint64 size, const QByteArray &acceptRanges);

// The If-Range value for a package the server called so: a strong ETag, else Last-Modified (a weak ETag
// cannot be used there); empty when there is neither.
QByteArray ifRangeValue(const QByteArray &etag, const QByteArray &lastModified);

// What a 200 to a range request means. Changed when it names another version of the package than
// `sentIfRange`; None when the range started at byte 0 and the answer carries the whole package of
// `packageSize` bytes, which can then be used as the download itself; NoRanges otherwise.
Fault faultOfFullAnswer(const QByteArray &sentIfRange, const QByteArray &etag, const QByteArray &lastModified,
                        bool rangeFromStart, qint64 contentLength, qint64 packageSize);

} // namespace RetryPolicy
