#include "rendererrecovery.h"

#include <QDeadlineTimer>

qint64 RendererRecovery::nextDelay(qint64 nowMs)
{
    tries.removeIf([nowMs](qint64 at) {
        return nowMs - at >= WindowMs;
    });
    if (tries.size() >= MaxTries)
        return -1;
    const qsizetype earlier = tries.size();
    tries.append(nowMs);
    // 0, then the first pause, then four times as long.
    return earlier == 0 ? 0 : firstPauseMs << (2 * (earlier - 1));
}

qint64 RendererRecovery::now()
{
    return QDeadlineTimer::current().deadline();
}
