#pragma once

// The pop-up advertisement's one-second schedule: once the server configuration has been read, the
// first pop-up is due after popDelayTime ticks and, when popPeriod is 1 or more, every popPeriod ticks
// after that, but never more often than once a minute. One schedule per program run.
class PopSchedule final
{
public:
    // A window that stays above everything else must leave the user time between its visits.
    static constexpr int MinPeriod = 60;

    // One tick of the schedule with the configuration's current values; true when a pop-up is due.
    bool tick(bool serverInfoReady, int popDelayTime, int popPeriod);

private:
    bool started = false;
    int popCountdown = 0;
    int popRepeat = 0;
};
