// Window timers on the simulated clock. The clock moves only when a test
// lets time pass (PumpMessagesFor) or the program waits (SleepMilliseconds),
// so a timer fires at exactly the same point of every run.
#include <algorithm>
#include <vector>

#include "platform/sim/sim_world.h"
#include "platform/testing/inspect.h"
#include "platform/timer.h"

namespace sim::detail {

void PostDueTimers()
{
    World& world = TheWorld();
    // Due timers post in the order they fell due; the map's order breaks ties.
    std::vector<std::pair<std::int64_t, std::pair<WindowHandle, std::uint32_t>>> due;
    for (const auto& [key, timer] : world.timers)
        if (timer.due <= world.nowMs) due.push_back({timer.due, key});
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [when, key] : due) {
        SimTimer& timer = world.timers[key];
        // A loop that looks late gets one message, and the next period
        // starts from now, as on the desktop.
        timer.due += timer.period;
        if (timer.due <= world.nowMs) timer.due = world.nowMs + timer.period;
        if (timer.queued) continue;
        timer.queued = true;
        world.queue.push_back({key.first, platform::wm::Timer, key.second, 0, false, timer.serial});
    }
}

bool ClaimTimerMessage(const PostedMessage& posted)
{
    auto& timers = TheWorld().timers;
    const auto it = timers.find({posted.window, static_cast<std::uint32_t>(posted.wParam)});
    if (it == timers.end() || it->second.serial != posted.timerSerial || !it->second.queued) return false;
    it->second.queued = false;
    return true;
}

}  // namespace sim::detail

namespace platform {

using sim::detail::TheWorld;

bool SetWindowTimer(WindowHandle window, std::uint32_t id, int milliseconds)
{
    if (!IsLiveWindow(window)) return false;
    auto& world = TheWorld();
    const int period = std::max(milliseconds, 1);
    world.timers[{window, id}] = sim::detail::SimTimer{period, world.nowMs + period, false, ++world.lastTimerSerial};
    return true;
}

bool KillWindowTimer(WindowHandle window, std::uint32_t id) { return TheWorld().timers.erase({window, id}) > 0; }

// Moves the clock from one due timer to the next up to the end of the
// span, delivering at each stop what a loop running then would deliver.
void PumpMessagesFor(int milliseconds)
{
    auto& world = TheWorld();
    const std::int64_t end = world.nowMs + std::max(milliseconds, 0);
    PumpMessages();
    for (;;) {
        std::int64_t next = end + 1;
        for (const auto& [key, timer] : world.timers) next = std::min(next, timer.due);
        if (next > end) break;
        world.nowMs = std::max(world.nowMs, next);
        PumpMessages();
    }
    world.nowMs = end;
    PumpMessages();
}

}  // namespace platform

namespace sim {

std::int64_t Now() { return detail::TheWorld().nowMs; }

}  // namespace sim
