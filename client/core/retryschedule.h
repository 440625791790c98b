#pragma once

// When a failed fetch of the server configuration is tried again: 30 s after the first failure, then
// twice as long after each further one, never more than 30 min apart. Driven by a one-second tick, so
// that tests step through it without waiting.
class RetrySchedule final
{
public:
    // Seconds to wait after the `failures`-th failure in a row (1 or more).
    static int delaySeconds(int failures);

    // A fetch failed: the countdown to the next attempt starts.
    void failed();
    // One second passed; true once, when the next attempt is due.
    bool tick();
    bool isWaiting() const
    {
        return countdown > 0;
    }
    int failureCount() const
    {
        return failures;
    }

private:
    int failures = 0;
    int countdown = 0;
};
