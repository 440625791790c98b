#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QUrl;

// The HEAD request that sizes the package before any part is asked for.
namespace HeadProbe {

struct Answer
{
    bool reached = false; // the server answered at all
    qint64 size = 0;      // 0 when unknown
    QByteArray acceptRanges;
    QByteArray etag;
    QByteArray lastModified;
    QString error; // why the server was not reached
};

// Asks with a HEAD and waits for the answer in an event loop; gives up after `stallTimeoutMs`
// without data. Size and validators come only from a 200.
Answer ask(const QUrl &url, int stallTimeoutMs);

} // namespace HeadProbe
