#pragma once

#include <QList>
#include <QtGlobal>

// When a view whose renderer ended (crashed, or killed for memory) is loaded again: at once, then
// after growing pauses, and at most MaxTries times in WindowMs. A page that keeps taking its renderer
// down is then left to the area's error page instead of being reloaded for ever.
class RendererRecovery final
{
public:
    static constexpr int MaxTries = 3;
    static constexpr qint64 WindowMs = 5 * 60 * 1000;

    explicit RendererRecovery(qint64 firstPauseMs = 2000) : firstPauseMs(firstPauseMs)
    {
    }

    // The pause before reloading after an ending at `nowMs` (a monotonic clock), or -1 when the tries
    // of the last WindowMs are spent.
    qint64 nextDelay(qint64 nowMs);

    // Milliseconds of the monotonic clock that nextDelay expects.
    static qint64 now();

private:
    qint64 firstPauseMs;
    QList<qint64> tries;
};
