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

namespace {

using Composition = std::optional<std::pair<WindowHandle, std::u16string>>;

std::optional<std::u16string> TextAt(const Composition& composition, WindowHandle window)
{
    if (!composition || composition->first != window) return std::nullopt;
    return composition->second;
}

void Deliver(Composition& slot, WindowHandle window, std::u16string_view text, LParam flag)
{
    const Composition outer = slot;
    slot.emplace(window, std::u16string(text));
    SendWindowMessage(window, wm::ImeComposition, 0, flag);
    slot = outer;
}

}  // namespace

std::optional<std::u16string> GetCompositionResult(WindowHandle window)
{
    return TextAt(sim::detail::TheWorld().composition, window);
}

std::optional<std::u16string> GetComposingText(WindowHandle window)
{
    return TextAt(sim::detail::TheWorld().composing, window);
}

// The simulated desktop always runs an input method.
bool IsInputMethodAvailable() { return true; }

void DeliverComposition(WindowHandle window, std::u16string_view text)
{
    Deliver(sim::detail::TheWorld().composition, window, text, gcs::ResultString);
}

void DeliverComposing(WindowHandle window, std::u16string_view text)
{
    Deliver(sim::detail::TheWorld().composing, window, text, gcs::CompositionString);
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
