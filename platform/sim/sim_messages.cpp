// The simulated message queue: one FIFO of posted messages for the one
// thread, sending, the default window processing, the quit message, the main
// loop and the nested pumps, key state and the delivery record.
#include "platform/sim/sim_world.h"

#include <functional>
#include <mutex>

#include "platform/writer.h"

namespace sim::detail {

LResult Dispatch(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    const SimWindow* target = FindWindow(window);
    if (target == nullptr) return 0;
    ++TheWorld().delivered[{window, message}];
    TheWorld().lastDelivered[{window, message}] = {wParam, lParam};
    return target->proc(window, message, wParam, lParam);
}

namespace {

// Work for the one thread, handed over from any thread.
std::mutex mainThreadWorkLock;
std::deque<std::function<void()>> mainThreadWork;

}  // namespace

bool RunMainThreadWork()
{
    std::function<void()> work;
    {
        const std::lock_guard lock(mainThreadWorkLock);
        if (mainThreadWork.empty()) return false;
        work = std::move(mainThreadWork.front());
        mainThreadWork.pop_front();
    }
    work();
    return true;
}

void DropMainThreadWork()
{
    const std::lock_guard lock(mainThreadWorkLock);
    mainThreadWork.clear();
}

namespace {

// A paint handler that asks for another paint every time would keep an idle
// desktop busy for ever; a pump gives up after this many idle repaints.
constexpr int kMaxIdleRepaints = 1000;

// Takes the oldest posted message and delivers it; false when none waits.
// A message for a window that has ended is dropped. The quit message ends
// the main loop that reaches it, or the next one to run.
bool DeliverOnePosted()
{
    CarryOutSessionEnd();
    if (RunMainThreadWork()) return true;
    PostDueTimers();
    PostFolderChanges();
    auto& queue = TheWorld().queue;
    if (queue.empty()) return false;
    const PostedMessage posted = queue.front();
    queue.pop_front();
    if (posted.quit) {
        TheWorld().quitDelivered = true;
        TheWorld().quitCode = static_cast<int>(posted.wParam);
    } else if (posted.timerSerial == 0 || ClaimTimerMessage(posted)) {
        Dispatch(posted.window, posted.message, posted.wParam, posted.lParam);
    }
    return true;
}

// One step of a loop: the oldest posted message, or when none waits, the
// oldest activation asked for.
bool DeliverOne() { return DeliverOnePosted() || DeliverOneActivation(); }

}  // namespace

NestedLoop RunNestedLoop(LoopOwner owner, std::size_t shown)
{
    NestedLoop loop;
    loop.owner = owner;
    loop.shown = shown;
    TheWorld().nestedLoops.push_back(loop);
    platform::PumpMessages();
    loop = TheWorld().nestedLoops.back();
    TheWorld().nestedLoops.pop_back();
    return loop;
}

NestedLoop* LoopAwaitingAnswer(LoopOwner owner)
{
    auto& loops = TheWorld().nestedLoops;
    if (loops.empty() || loops.back().owner != owner || loops.back().closed || loops.back().answer) return nullptr;
    return &loops.back();
}

}  // namespace sim::detail

namespace platform {

using sim::detail::TheWorld;

void RunOnMainThread(std::function<void()> work)
{
    const std::lock_guard lock(sim::detail::mainThreadWorkLock);
    sim::detail::mainThreadWork.push_back(std::move(work));
}

bool PostWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    // Every posted message has a window: the quit message is the only one
    // for the thread itself.
    if (!IsLiveWindow(window)) return false;
    TheWorld().queue.push_back({window, message, wParam, lParam});
    return true;
}

LResult SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    return sim::detail::Dispatch(window, message, wParam, lParam);
}

LResult DefaultWindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam)
{
    switch (message) {
    case wm::Close: DestroyAppWindow(window); return 0;
    case wm::SysCommand:
        if ((wParam & 0xFFF0) == sc::Close) SendWindowMessage(window, wm::Close, 0, 0);
        return 0;
    case wm::EraseBackground: return 1;
    case wm::Activate:
        // An activated window that leaves activation to the default gets the
        // keyboard focus.
        if (LowWord(wParam) != wa::Inactive) SetKeyboardFocus(window);
        return 0;
    default: return 0;
    }
}

// The quit message takes its place in the queue behind what was posted
// before it; what is posted after it waits for a later loop.
void PostQuit(int exitCode)
{
    auto& world = TheWorld();
    world.quitPosted = true;
    world.quitCode = exitCode;
    world.queue.push_back({0, wm::Quit, static_cast<WParam>(exitCode), 0, true});
}

int RunMessageLoop()
{
    auto& world = TheWorld();
    for (int idle = 0; idle < sim::detail::kMaxIdleRepaints;) {
        if (world.quitDelivered) {
            world.quitDelivered = false;
            return world.quitCode;
        }
        if (sim::detail::DeliverOne()) continue;
        if (!sim::detail::PaintDirtyWindows()) break;
        ++idle;
    }
    // Nothing left to do and no quit: a real desktop would wait for input,
    // which never comes here.
    return -1;
}

void PumpMessages()
{
    for (int idle = 0; idle < sim::detail::kMaxIdleRepaints;) {
        if (sim::detail::DeliverOne()) continue;
        if (!sim::detail::PaintDirtyWindows()) return;
        ++idle;
    }
}

void CloseMenuOrDialog()
{
    auto& loops = TheWorld().nestedLoops;
    if (!loops.empty()) loops.back().closed = true;
}

bool IsKeyHeld(std::uint32_t virtualKey) { return TheWorld().heldKeys.contains(virtualKey); }

}  // namespace platform

namespace sim {

void SetKeyHeld(std::uint32_t virtualKey, bool held)
{
    auto& keys = detail::TheWorld().heldKeys;
    if (held)
        keys.insert(virtualKey);
    else
        keys.erase(virtualKey);
}

int DeliveredCount(WindowHandle window, std::uint32_t message)
{
    const auto& delivered = detail::TheWorld().delivered;
    auto it = delivered.find({window, message});
    return it == delivered.end() ? 0 : it->second;
}

std::pair<platform::WParam, platform::LParam> LastDelivered(WindowHandle window, std::uint32_t message)
{
    const auto& last = detail::TheWorld().lastDelivered;
    auto it = last.find({window, message});
    return it == last.end() ? std::pair<platform::WParam, platform::LParam>{0, 0} : it->second;
}

bool QuitPosted() { return detail::TheWorld().quitPosted; }
int QuitCode() { return detail::TheWorld().quitCode; }

}  // namespace sim
