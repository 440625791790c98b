#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QtGlobal>

// Judges a download by the bytes that arrive, at moments the caller gives (so it is tested without a
// clock): a download whose whole speed stays below a floor for a while has stalled, however alive its
// connections look; and a part far slower than the others is on a bad line or server.
// When a download counts as stalled and a part as lagging.
struct SpeedRules
{
    // Stalled: less than floorBytesPerSecond on average over the last windowMs.
    qint64 windowMs = 60000;
    qint64 floorBytesPerSecond = 1024;
    // A laggard: a part running for laggardWindowMs whose speed over that window is below 1/laggardRatio
    // of the median speed of the others, each over its own window or, once ended, over its whole run.
    int laggardRatio = 8;
    qint64 laggardWindowMs = 20000;
};

class SpeedWatch final
{
public:
    using Rules = SpeedRules;

    explicit SpeedWatch(const Rules &rules = Rules()) : rules(rules)
    {
    }

    // Judging starts afresh at `nowMs`: nothing is stalled or lagging before a full window has passed.
    void restart(qint64 nowMs);
    // `part` (re)started at `nowMs`: it is not judged against the others before a full laggard window.
    void partStarted(int part, qint64 nowMs);
    // `part` ended at `nowMs`; its speed still counts as one of the others'.
    void partStopped(int part, qint64 nowMs);
    void add(int part, qint64 bytes, qint64 nowMs);

    bool stalled(qint64 nowMs) const;
    // The running part that lags far behind the others, or -1.
    int laggard(qint64 nowMs) const;

private:
    struct Part
    {
        qint64 startMs = 0;
        qint64 endMs = -1; // -1 while it runs
        qint64 bytes = 0;
        QList<QPair<qint64, qint64>> samples; // (ms, bytes)
    };
    qint64 bytesSince(const QList<QPair<qint64, qint64>> &samples, qint64 fromMs) const;
    // Bytes per second.
    double speedOf(const Part &part, qint64 nowMs) const;
    bool anyRunning() const;
    void trim(qint64 nowMs);

    Rules rules;
    qint64 startMs = 0;
    QList<QPair<qint64, qint64>> all;
    QHash<int, Part> parts;
};
