// Process services of the simulation: start-up, the single-instance lock and
// the hand-offs to and from the "other" instance, the program path, the
// settable clock, the scripted random numbers, recorded waits, hotkeys and
// message boxes.
#include <algorithm>

#include "platform/sim/sim_world.h"

namespace platform {

using sim::detail::TheWorld;

// The simulated desktop is always there.
std::string DesktopUnavailableReason() { return {}; }

// Nothing to prepare: the simulated desktop is ready from the start.
void CatchEndSignals() {}

void InitPlatform(int, char**) {}
void EndPlatform() {}

InstanceLock AcquireInstanceLock(const std::u16string& lockFile)
{
    auto& world = TheWorld();
    // Held, the lock is found taken also where the file cannot be made (a
    // folder that only its holder could write to).
    std::optional<std::u16string> key = sim::detail::LockKey(lockFile, false);
    if (key && (world.locksElsewhere.contains(*key) || world.heldLock == key)) return InstanceLock::AlreadyExists;
    // The file is made as on the desktop, so that the folder holds the same.
    key = sim::detail::LockKey(lockFile, true);
    if (!key) return InstanceLock::Failed;
    if (world.heldLock) return InstanceLock::Failed;  // one lock per process
    world.heldLock = key;
    return InstanceLock::Acquired;
}

void ReleaseInstanceLock()
{
    TheWorld().heldLock.reset();
    TheWorld().handOffTarget.reset();
}

bool ListenForHandOffs(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    auto& world = TheWorld();
    if (!world.heldLock) return false;
    world.handOffTarget = sim::detail::HandOffTarget{window, message, wParam, lParam};
    return true;
}

HandOff HandOffToRunningInstance(const std::u16string& lockFile)
{
    auto& world = TheWorld();
    const std::optional<std::u16string> key = sim::detail::LockKey(lockFile, false);
    if (!key) return HandOff::NotNow;
    // The program started a second time inside the same test: the running
    // instance is this process.
    if (world.heldLock == key) return sim::HandOffFromElsewhere();
    if (!world.locksElsewhere.contains(*key)) return HandOff::NotNow;
    const sim::Holder answer = world.holderElsewhere.empty() ? sim::Holder::Queues : world.holderElsewhere.front();
    if (world.holderElsewhere.size() > 1) world.holderElsewhere.pop_front();
    switch (answer) {
    case sim::Holder::Queues: world.handOffsElsewhere.push_back(*key); return HandOff::Queued;
    case sim::Holder::NotListening: return HandOff::NotNow;
    case sim::Holder::Ends: world.locksElsewhere.erase(*key); return HandOff::NotNow;
    }
    return HandOff::NotNow;
}

std::u16string GetModuleFilePath() { return TheWorld().modulePath; }

LocalTime GetLocalTimeNow() { return TheWorld().clock; }

std::uint32_t RandomNumber()
{
    auto& world = TheWorld();
    const std::size_t index = world.randomIndex++;
    if (world.randomSequence.empty()) return static_cast<std::uint32_t>(index);
    return world.randomSequence[std::min(index, world.randomSequence.size() - 1)];
}

// Nothing is slept, but the simulated clock moves on: timers that fall due
// meanwhile fire when a loop next looks, as after a real wait.
void SleepMilliseconds(int milliseconds)
{
    TheWorld().sleeps.push_back(milliseconds);
    TheWorld().nowMs += std::max(milliseconds, 0);
}

bool RegisterSystemHotkey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t virtualKey)
{
    if (modifiers == 0 || virtualKey == 0) return false;
    if (window != 0 && !IsLiveWindow(window)) return false;
    auto& hotkeys = TheWorld().hotkeys;
    const bool taken = std::any_of(hotkeys.begin(), hotkeys.end(), [&](const sim::Hotkey& h) {
        return (h.modifiers == modifiers && h.virtualKey == virtualKey) || (h.window == window && h.id == id);
    });
    if (taken) return false;
    hotkeys.push_back({window, id, modifiers, virtualKey});
    return true;
}

bool UnregisterSystemHotkey(WindowHandle window, int id)
{
    return std::erase_if(TheWorld().hotkeys,
                         [&](const sim::Hotkey& h) { return h.window == window && h.id == id; }) > 0;
}

namespace {

// The answer of a box closed with the Escape key.
int EscapeAnswer(std::uint32_t style)
{
    switch (style & 0xF) {
    case mb::YesNo: return id::No;
    case mb::YesNoCancel: return id::Cancel;
    default: return id::Ok;
    }
}

bool HasButton(std::uint32_t style, int answer)
{
    switch (style & 0xF) {
    case mb::YesNo: return answer == id::Yes || answer == id::No;
    case mb::YesNoCancel: return answer == id::Yes || answer == id::No || answer == id::Cancel;
    default: return answer == id::Ok;
    }
}

}  // namespace

int ShowMessageBox(const std::u16string& text, const std::u16string& caption, std::uint32_t style)
{
    auto& world = TheWorld();
    int answer = (style & 0xF) == mb::Ok ? id::Ok : id::Yes;
    if (!world.messageBoxAnswers.empty()) {
        answer = world.messageBoxAnswers.front();
        world.messageBoxAnswers.pop_front();
    }
    // Recorded when it opens, so boxes opened by its nested loop come after it.
    const std::size_t record = world.messageBoxes.size();
    world.messageBoxes.push_back({text, caption, style, answer});
    const sim::detail::NestedLoop loop = sim::detail::RunNestedLoop(sim::detail::LoopOwner::MessageBox, record);
    if (loop.closed || loop.answer) {
        answer = loop.closed ? EscapeAnswer(style) : *loop.answer;
        world.messageBoxes[record].answer = answer;
    }
    return answer;
}

bool AnswerMessageBox(int answer)
{
    sim::detail::NestedLoop* loop = sim::detail::LoopAwaitingAnswer(sim::detail::LoopOwner::MessageBox);
    if (loop == nullptr || !HasButton(TheWorld().messageBoxes[loop->shown].style, answer)) return false;
    loop->answer = answer;
    return true;
}

}  // namespace platform

namespace sim {

using detail::TheWorld;

void SetModulePath(const std::u16string& path) { TheWorld().modulePath = path; }
void SetLocalTime(const LocalTime& time) { TheWorld().clock = time; }

void SetRandomSequence(const std::vector<std::uint32_t>& numbers)
{
    TheWorld().randomSequence = numbers;
    TheWorld().randomIndex = 0;
}

const std::vector<int>& Sleeps() { return TheWorld().sleeps; }

void QueueMessageBoxAnswer(int answer) { TheWorld().messageBoxAnswers.push_back(answer); }
const std::vector<ShownMessageBox>& MessageBoxes() { return TheWorld().messageBoxes; }

std::vector<Hotkey> Hotkeys() { return TheWorld().hotkeys; }

bool PressHotkey(std::uint32_t modifiers, std::uint32_t virtualKey)
{
    for (const Hotkey& h : TheWorld().hotkeys) {
        if (h.modifiers != modifiers || h.virtualKey != virtualKey) continue;
        const auto lParam = static_cast<platform::LParam>((virtualKey << 16) | modifiers);
        return platform::PostWindowMessage(h.window, platform::wm::Hotkey,
                                           static_cast<platform::WParam>(h.id), lParam);
    }
    return false;
}

void SetInstanceLockHeldElsewhere(const std::u16string& lockFile, bool held)
{
    const std::optional<std::u16string> key = detail::LockKey(lockFile, false);
    if (!key) return;
    if (held)
        TheWorld().locksElsewhere.insert(*key);
    else
        TheWorld().locksElsewhere.erase(*key);
}

void ScriptHolderElsewhere(std::vector<Holder> answers)
{
    TheWorld().holderElsewhere.assign(answers.begin(), answers.end());
}

const std::vector<std::u16string>& HandOffsElsewhere() { return TheWorld().handOffsElsewhere; }

platform::HandOff HandOffFromElsewhere()
{
    const auto& target = TheWorld().handOffTarget;
    if (!target || !platform::IsLiveWindow(target->window)) return platform::HandOff::NotNow;
    platform::PostWindowMessage(target->window, target->message, target->wParam, target->lParam);
    return platform::HandOff::Queued;
}

}  // namespace sim
