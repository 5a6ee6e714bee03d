// Window timers on Qt: each is a precise QObject timer of one host object,
// so the main loop and the nested loops of menus and dialogs all fire it.
// Firing posts wm::Timer through the message queue, behind what was posted
// before, and only when the timer's previous message has been delivered.
#include <QCoreApplication>
#include <QObject>
#include <QTimerEvent>

#include <algorithm>
#include <map>
#include <utility>

#include "platform/qt/qt_windows.h"

namespace platform::qt {
namespace {

using TimerKey = std::pair<WindowHandle, std::uint32_t>;

struct RunningTimer {
    int qtTimer = 0;
    std::uint64_t serial = 0;
    bool queued = false;  // its wm::Timer waits in the queue
};

std::map<TimerKey, RunningTimer>& Timers()
{
    static std::map<TimerKey, RunningTimer> timers;
    return timers;
}

std::map<int, TimerKey>& KeysOfQtTimers()
{
    static std::map<int, TimerKey> keys;
    return keys;
}

std::uint64_t lastSerial = 0;

void Fire(int qtTimer)
{
    const auto key = KeysOfQtTimers().find(qtTimer);
    if (key == KeysOfQtTimers().end()) return;
    RunningTimer& timer = Timers()[key->second];
    if (timer.queued) return;
    timer.queued = true;
    PostTimerMessage(key->second.first, key->second.second, timer.serial);
}

class TimerHost : public QObject {
protected:
    void timerEvent(QTimerEvent* event) override { Fire(event->timerId()); }
};

TimerHost& Host()
{
    static TimerHost* host = new TimerHost;  // lives as long as the process
    return *host;
}

void Stop(std::map<TimerKey, RunningTimer>::iterator it)
{
    Host().killTimer(it->second.qtTimer);
    KeysOfQtTimers().erase(it->second.qtTimer);
    Timers().erase(it);
}

}  // namespace

bool ClaimTimerMessage(WindowHandle window, std::uint32_t id, std::uint64_t serial)
{
    const auto it = Timers().find({window, id});
    if (it == Timers().end() || it->second.serial != serial || !it->second.queued) return false;
    it->second.queued = false;
    return true;
}

void ForgetWindowTimers(WindowHandle window)
{
    auto& timers = Timers();
    for (auto it = timers.lower_bound({window, 0}); it != timers.end() && it->first.first == window;)
        Stop(it++);
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

bool SetWindowTimer(WindowHandle window, std::uint32_t id, int milliseconds)
{
    if (!IsLiveWindow(window)) return false;
    KillWindowTimer(window, id);
    const int qtTimer = Host().startTimer(std::max(milliseconds, 1), Qt::PreciseTimer);
    if (qtTimer == 0) return false;
    Timers()[{window, id}] = RunningTimer{qtTimer, ++lastSerial, false};
    KeysOfQtTimers()[qtTimer] = {window, id};
    return true;
}

bool KillWindowTimer(WindowHandle window, std::uint32_t id)
{
    const auto it = Timers().find({window, id});
    if (it == Timers().end()) return false;
    Stop(it);
    return true;
}

}  // namespace platform
