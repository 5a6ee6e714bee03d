// A write that waits for the user to pause, but never longer than a limit:
// the data file's save and the recovery copy of an open edit both run on a
// pair of the main window's timers.
#pragma once

#include <cstdint>

#include "platform/timer.h"
#include "store/app_state.h"

struct QuietTimers {
    std::uint32_t quiet;  // restarted by every request
    int quietMs;
    std::uint32_t latest;  // started by the first request of a run
    int latestMs;
};

// Arms the pair for one more request; `pending` says whether a run is under
// way. False when a timer could not be set: the caller writes at once.
inline bool ArmQuietTimers(const QuietTimers& timers, bool& pending)
{
    const bool first = !pending;
    pending = true;
    bool armed = platform::SetWindowTimer(mainWindow, timers.quiet, timers.quietMs);
    if (first) armed = platform::SetWindowTimer(mainWindow, timers.latest, timers.latestMs) && armed;
    return armed;
}

// Whether the timer is one of the pair's.
inline bool IsQuietTimer(const QuietTimers& timers, std::uint32_t timerId)
{
    return timerId == timers.quiet || timerId == timers.latest;
}
