#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// One byte range of the package, both ends inclusive as HTTP counts them. Empty when last < first.
struct ByteRange
{
    qint64 first = 0;
    qint64 last = -1;

    qint64 length() const
    {
        return last - first + 1;
    }
    bool isEmpty() const
    {
        return last < first;
    }
    bool operator==(const ByteRange &other) const
    {
        return first == other.first && last == other.last;
    }
};

// The decisions of the package download that need no network: how the package is cut into parts and
// whether an answer to one part may be written into the file.
namespace DownloadPlan {

// Cuts `size` bytes into `parts` ranges that cover every byte exactly once: part k of n runs from
// floor(size*(k-1)/n) to floor(size*k/n)-1, exact for any 64-bit size. A part can be empty when
// size < parts; such parts are not fetched. No ranges for size <= 0 or parts <= 0.
QList<ByteRange> partition(qint64 size, int parts);

// The request's "Range" header value, "bytes=first-last". The unit is lower case: some servers refuse
// any other spelling with 416.
QByteArray rangeHeader(const ByteRange &range);

struct ContentRange
{
    bool valid = false;
    qint64 first = -1;
    qint64 last = -1;
    qint64 total = -1; // -1 when the server answered "*"
};
// Parses a Content-Range header such as "bytes 0-199/999". Anything else is invalid.
ContentRange parseContentRange(const QByteArray &value);

// Why the answer to `asked` of a package of `total` bytes cannot be used; empty when it can. Only a
// 206 whose Content-Range names exactly the range asked for (and the package's size) is usable.
QString rejectPartAnswer(int status, const QByteArray &contentRange, const ByteRange &asked, qint64 total);

} // namespace DownloadPlan
