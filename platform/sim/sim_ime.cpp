// The simulated input method: an open flag and a conversion mode per
// window, closed at first, and the finished composition that a test
// delivers to a window.
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/testing/inspect.h"
#include "platform/sim/sim_world.h"

namespace platform {

bool SetInputMethodOpen(WindowHandle window, bool open)
{
    if (!IsLiveWindow(window)) return false;
    sim::detail::TheWorld().inputMethodOpen[window] = open;
    return true;
}

bool IsInputMethodOpen(WindowHandle window)
{
    const auto& open = sim::detail::TheWorld().inputMethodOpen;
    auto it = open.find(window);
    if (it == open.end()) return IsLiveWindow(window) && sim::detail::TheWorld().inputMethodOpenAtFirst;
    return it->second;
}

bool SetInputConversion(WindowHandle window, Conversion conversion)
{
    if (!IsLiveWindow(window)) return false;
    sim::detail::TheWorld().inputConversion[window] = conversion;
    return true;
}

std::optional<std::u16string> GetCompositionResult(WindowHandle window)
{
    const auto& composition = sim::detail::TheWorld().composition;
    if (!composition || composition->first != window) return std::nullopt;
    return composition->second;
}

// The simulated desktop always runs an input method.
bool IsInputMethodAvailable() { return true; }

void DeliverComposition(WindowHandle window, std::u16string_view text)
{
    auto& composition = sim::detail::TheWorld().composition;
    const auto outer = composition;
    composition.emplace(window, std::u16string(text));
    SendWindowMessage(window, wm::ImeComposition, 0, gcs::ResultString);
    composition = outer;
}

}  // namespace platform

namespace sim {

void SetInputMethodOpenAtFirst(bool open) { detail::TheWorld().inputMethodOpenAtFirst = open; }

std::optional<platform::Conversion> InputConversion(WindowHandle window)
{
    const auto& modes = detail::TheWorld().inputConversion;
    auto it = modes.find(window);
    if (it == modes.end()) return std::nullopt;
    return it->second;
}

}  // namespace sim
