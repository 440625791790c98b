#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The updater's configuration: one small file, fetched whole and bounded in size and in time, so that
// neither a huge answer nor a server that trickles can hold the check.
namespace ConfigFetch {

struct Limits
{
    qint64 maxBytes = 1024 * 1024;
    int stallMs = 30000;    // no byte for this long ends the fetch
    int deadlineMs = 60000; // nor may the whole fetch take longer, however the bytes come
};

enum class Outcome { Fetched, TooLarge, Late, Failed };

struct Result
{
    Outcome outcome = Outcome::Failed;
    QByteArray body; // only when Fetched
    QString error;   // the network's words when Failed
};

// Blocks in an event loop of its own until the fetch has ended.
Result get(const QUrl &url, const Limits &limits);

} // namespace ConfigFetch
