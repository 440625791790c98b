#include "retryschedule.h"

namespace {
constexpr int FirstDelay = 30;
constexpr int LongestDelay = 30 * 60;
} // namespace

int RetrySchedule::delaySeconds(int failures)
{
    int delay = FirstDelay;
    for (int i = 1; i < failures && delay < LongestDelay; ++i)
        delay *= 2;
    return delay < LongestDelay ? delay : LongestDelay;
}

void RetrySchedule::failed()
{
    ++failures;
    countdown = delaySeconds(failures);
}

bool RetrySchedule::tick()
{
    if (countdown <= 0)
        return false;
    return --countdown == 0;
}
