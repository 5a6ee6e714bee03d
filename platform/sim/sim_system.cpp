// Process services of the simulation: start-up, the single-instance lock and
// the hand-off to the "other" instance, the program path, the settable clock,
// the scripted random numbers, recorded waits, hotkeys and message boxes.
#include <algorithm>

#include "platform/sim/sim_world.h"

namespace platform {

using sim::detail::TheWorld;

// Nothing to prepare: the simulated desktop is ready from the start.
void InitPlatform(int, char**) {}

InstanceLock AcquireInstanceLock(const std::u16string& name)
{
    auto& world = TheWorld();
    if (world.locksElsewhere.contains(name) || world.heldLock == name) return InstanceLock::AlreadyExists;
    if (world.heldLock) return InstanceLock::Failed;  // one lock per process
    world.heldLock = name;
    return InstanceLock::Acquired;
}

void ReleaseInstanceLock() { TheWorld().heldLock.reset(); }

bool PostToRunningInstance(const std::u16string& lockName, const std::u16string& className,
                           const std::u16string& title, std::uint32_t message, WParam wParam,
                           LParam lParam)
{
    auto& world = TheWorld();
    if (world.locksElsewhere.contains(lockName)) {
        world.handedOff.push_back({className, title, message, wParam, lParam});
        return true;
    }
    // The program started a second time inside the same test: the running
    // instance is this process.
    if (world.heldLock != lockName) return false;
    const WindowHandle target = FindAppWindow(className, title);
    return target != 0 && PostWindowMessage(target, message, wParam, lParam);
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

void SleepMilliseconds(int milliseconds) { TheWorld().sleeps.push_back(milliseconds); }

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
    if (sim::detail::RunNestedLoop()) {
        answer = EscapeAnswer(style);
        world.messageBoxes[record].answer = answer;
    }
    return answer;
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

void SetInstanceLockHeldElsewhere(const std::u16string& name, bool held)
{
    if (held)
        TheWorld().locksElsewhere.insert(name);
    else
        TheWorld().locksElsewhere.erase(name);
}

const std::vector<HandedOff>& HandedOffMessages() { return TheWorld().handedOff; }

}  // namespace sim
