// Stacking, activation, foreground, keyboard focus and pointer capture of the
// simulated desktop. The z-order is one front-to-back list in which the
// topmost band comes first, then the normal band, then the bottom band.
#include <algorithm>

#include "platform/sim/sim_world.h"

namespace sim::detail {
namespace {

using platform::ZBand;

void SendKillFocus(WindowHandle losing, WindowHandle gaining)
{
    TheWorld().focus = gaining;
    if (FindWindow(losing)) Dispatch(losing, platform::wm::KillFocus, gaining, 0);
}

}  // namespace

void PlaceInBand(WindowHandle window, ZBand band)
{
    FindWindow(window)->band = band;
    auto& order = TheWorld().zOrder;
    std::erase(order, window);
    auto front = std::find_if(order.begin(), order.end(), [band](WindowHandle other) {
        return FindWindow(other)->band >= band;
    });
    order.insert(front, window);
}

bool Restack(WindowHandle window, std::int32_t insertAfter)
{
    SimWindow* w = FindWindow(window);
    switch (insertAfter) {
    case platform::z::Topmost: PlaceInBand(window, ZBand::Topmost); return true;
    case platform::z::NotTopmost:
        // A normal window keeps its place; a topmost or bottom-most one
        // becomes normal (the band follows the last placement).
        if (w->band != ZBand::Normal) PlaceInBand(window, ZBand::Normal);
        return true;
    case platform::z::Top: PlaceInBand(window, w->band); return true;
    case platform::z::Bottom:
        w->band = ZBand::Bottom;
        std::erase(TheWorld().zOrder, window);
        TheWorld().zOrder.push_back(window);
        return true;
    default: return false;
    }
}

void Activate(WindowHandle window)
{
    World& world = TheWorld();
    const WindowHandle previous = world.active;
    world.foreground = window;
    if (previous == window) return;
    world.active = window;
    if (FindWindow(previous)) {
        Dispatch(previous, platform::wm::Activate, platform::wa::Inactive, static_cast<LParam>(window));
        if (world.focus == previous) SendKillFocus(previous, 0);
    }
    if (window != 0 && world.active == window)
        Dispatch(window, platform::wm::Activate, platform::wa::Active, static_cast<LParam>(previous));
}

void LeaveHiddenWindow(WindowHandle window)
{
    World& world = TheWorld();
    if (world.active == window) {
        world.active = 0;
        world.foreground = 0;
        Dispatch(window, platform::wm::Activate, platform::wa::Inactive, 0);
    }
    if (world.focus == window) SendKillFocus(window, 0);
}

}  // namespace sim::detail

namespace platform {

using sim::detail::FindWindow;
using sim::detail::TheWorld;

ZBand GetZBand(WindowHandle window)
{
    const auto* w = FindWindow(window);
    return w == nullptr ? ZBand::Normal : w->band;
}

int GetZRank(WindowHandle window)
{
    const auto& order = TheWorld().zOrder;
    auto it = std::find(order.begin(), order.end(), window);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

bool BringToForeground(WindowHandle window)
{
    if (!IsLiveWindow(window)) return false;
    sim::detail::PlaceInBand(window, FindWindow(window)->band);
    sim::detail::Activate(window);
    return true;
}

WindowHandle GetForegroundAppWindow() { return TheWorld().foreground; }
WindowHandle GetActiveAppWindow() { return TheWorld().active; }

WindowHandle SetKeyboardFocus(WindowHandle window)
{
    auto& world = TheWorld();
    if (window != 0 && !IsLiveWindow(window)) return 0;
    const WindowHandle previous = world.focus;
    if (previous == window) return previous;
    world.focus = window;
    if (IsLiveWindow(previous)) SendWindowMessage(previous, wm::KillFocus, window, 0);
    if (window != 0 && world.focus == window) SendWindowMessage(window, wm::SetFocus, previous, 0);
    return previous;
}

WindowHandle GetKeyboardFocus() { return TheWorld().focus; }

void CapturePointer(WindowHandle window)
{
    if (IsLiveWindow(window)) TheWorld().capture = window;
}

void ReleasePointer() { TheWorld().capture = 0; }
WindowHandle GetPointerCapture() { return TheWorld().capture; }

}  // namespace platform
