#include "popschedule.h"

#include <QtGlobal>

bool PopSchedule::tick(bool serverInfoReady, int popDelayTime, int popPeriod)
{
    if (!serverInfoReady || popDelayTime < 1)
        return false;
    if (!started) {
        started = true;
        popCountdown = popDelayTime;
        popRepeat = popPeriod;
    }
    if (--popCountdown != 0)
        return false;
    // Without repetition the countdown goes below zero and never reaches zero again.
    popCountdown = popRepeat > 0 ? qMax(popPeriod, MinPeriod) : -1;
    return true;
}
