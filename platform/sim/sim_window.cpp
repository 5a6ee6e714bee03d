// The simulated windows: the class, window creation and destruction,
// geometry with its move and size messages, visibility, repainting,
// stacking, activation, foreground, keyboard focus and pointer capture, the
// window that ends with the session, and the test's view of the windows.
//
// The z-order is one front-to-back list in which the topmost band comes
// first, then the normal band, then the bottom band.
#include <algorithm>
#include <utility>

#include "platform/sim/sim_world.h"

namespace platform {

using sim::detail::FindWindow;
using sim::detail::SimWindow;
using sim::detail::TheWorld;

namespace {

bool CreationFailsNow()
{
    int& countdown = TheWorld().failCreationCountdown;
    if (countdown <= 0) return false;
    return --countdown == 0;
}

void MarkDirty(SimWindow& window, bool erase)
{
    window.dirty = true;
    window.erase = window.erase || erase;
}

// Gives a window its new rectangle and tells it what changed.
void ApplyBounds(WindowHandle handle, Rect bounds, bool repaint)
{
    SimWindow* window = FindWindow(handle);
    const Rect old = window->bounds;
    window->bounds = bounds;
    const bool moved = old.left != bounds.left || old.top != bounds.top;
    const bool sized = old.Width() != bounds.Width() || old.Height() != bounds.Height();
    if (repaint && (moved || sized) && window->shown) MarkDirty(*window, true);
    if (moved) sim::detail::Dispatch(handle, wm::Move, 0, PackPoint(bounds.left, bounds.top));
    if (sized && IsLiveWindow(handle))
        sim::detail::Dispatch(handle, wm::Size, 0, PackPoint(bounds.Width(), bounds.Height()));
}

void SetShown(SimWindow& window, bool shown)
{
    if (shown && !window.shown) MarkDirty(window, true);
    window.shown = shown;
}

}  // namespace

bool RegisterWindowClass(const std::u16string& className, std::uint32_t, WindowProcFn proc)
{
    if (className.empty() || proc == nullptr) return false;
    return TheWorld().classes.emplace(className, proc).second;
}

WindowHandle CreateAppWindow(const std::u16string& className, const std::u16string& title, Rect bounds)
{
    auto& world = TheWorld();
    auto cls = world.classes.find(className);
    if (cls == world.classes.end() || CreationFailsNow()) return 0;
    const WindowHandle handle = sim::detail::NextWindowHandle();
    SimWindow window;
    window.className = className;
    window.title = title;
    window.bounds = bounds;
    window.proc = cls->second;
    world.windows.emplace(handle, window);
    world.zOrder.insert(world.zOrder.begin(), handle);
    sim::detail::PlaceInBand(handle, ZBand::Normal);
    const LResult created = sim::detail::Dispatch(handle, wm::Create, 0, 0);
    if (created == -1 && IsLiveWindow(handle)) DestroyAppWindow(handle);
    return IsLiveWindow(handle) ? handle : 0;
}

bool DestroyAppWindow(WindowHandle handle)
{
    SimWindow* window = FindWindow(handle);
    if (window == nullptr || window->destroying) return false;
    window->destroying = true;
    sim::detail::Dispatch(handle, wm::Destroy, 0, 0);
    // Children end with their parent, after the parent's own wm::Destroy.
    for (WindowHandle child : sim::detail::ChildrenOf(handle)) DestroyAppWindow(child);
    auto& world = TheWorld();
    world.windows.erase(handle);
    std::erase(world.zOrder, handle);
    for (WindowHandle* held : {&world.active, &world.focus, &world.focusOnActivation, &world.capture})
        if (*held == handle) *held = 0;
    sim::detail::ForgetWindowServices(handle);
    return true;
}

bool IsLiveWindow(WindowHandle window) { return FindWindow(window) != nullptr; }

WindowHandle FindAppWindow(const std::u16string& className, const std::u16string& title)
{
    for (WindowHandle handle : TheWorld().zOrder) {
        const SimWindow* window = FindWindow(handle);
        if (window->className == className && window->title == title) return handle;
    }
    return 0;
}

bool ShowAppWindow(WindowHandle handle, int showCommand)
{
    SimWindow* window = FindWindow(handle);
    if (window == nullptr) return false;
    const bool wasShown = window->shown;
    if (showCommand == sw::Hide) {
        window->shown = false;
        sim::detail::LeaveHiddenWindow(handle);
        return wasShown;
    }
    SetShown(*window, true);
    if (showCommand == sw::ShowNormal) sim::detail::RequestActivation(handle);
    return wasShown;
}

bool IsWindowShown(WindowHandle handle)
{
    const SimWindow* window = FindWindow(handle);
    return window != nullptr && window->shown;
}

// A child's bounds are kept in its parent's client coordinates and reported
// on the screen, so it follows its parent.
Rect GetWindowBounds(WindowHandle handle)
{
    const SimWindow* window = FindWindow(handle);
    if (window == nullptr) return Rect{};
    if (window->parent == 0) return window->bounds;
    const Rect parent = GetWindowBounds(window->parent);
    const Rect r = window->bounds;
    return Rect{parent.left + r.left, parent.top + r.top, parent.left + r.right, parent.top + r.bottom};
}

bool MoveAppWindow(WindowHandle handle, Rect bounds, bool repaint)
{
    if (!IsLiveWindow(handle)) return false;
    ApplyBounds(handle, bounds, repaint);
    return true;
}

bool PlaceWindow(WindowHandle handle, std::int32_t insertAfter, Rect bounds, std::uint32_t flags)
{
    SimWindow* window = FindWindow(handle);
    if (window == nullptr) return false;
    if (!(flags & swp::NoZOrder) && !sim::detail::Restack(handle, insertAfter)) return false;
    Rect target = window->bounds;
    if (!(flags & swp::NoMove)) {
        target = Rect{bounds.left, bounds.top, bounds.left + target.Width(), bounds.top + target.Height()};
    }
    if (!(flags & swp::NoSize)) {
        target.right = target.left + bounds.Width();
        target.bottom = target.top + bounds.Height();
    }
    ApplyBounds(handle, target, !(flags & swp::NoRedraw));
    if (!(window = FindWindow(handle))) return true;
    if (flags & swp::ShowWindow) SetShown(*window, true);
    if (flags & swp::HideWindow) ShowAppWindow(handle, sw::Hide);
    // Placing a window at the bottom never activates it.
    if (!(flags & swp::NoActivate) && insertAfter != z::Bottom) sim::detail::RequestActivation(handle);
    return true;
}

void InvalidateWindow(WindowHandle handle, bool erase)
{
    if (SimWindow* window = FindWindow(handle)) MarkDirty(*window, erase);
}

void UpdateAppWindow(WindowHandle handle) { sim::detail::PaintIfDirty(handle); }

Rect GetScreenBounds() { return TheWorld().screen; }
Rect GetWorkArea() { return TheWorld().workArea; }

}  // namespace platform

namespace sim::detail {

bool PaintIfDirty(WindowHandle handle)
{
    SimWindow* window = FindWindow(handle);
    if (window == nullptr || !window->shown || !window->dirty) return false;
    const bool erase = window->erase;
    // Like beginning a paint, this validates the window first, so that a
    // repaint asked for while painting is kept for later.
    window->dirty = false;
    window->erase = false;
    if (erase) Dispatch(handle, platform::wm::EraseBackground, DrawContextOf(handle), 0);
    Dispatch(handle, platform::wm::Paint, 0, 0);
    return true;
}

bool PaintDirtyWindows()
{
    std::vector<WindowHandle> dirty;
    for (const auto& [handle, window] : TheWorld().windows)
        if (window.shown && window.dirty) dirty.push_back(handle);
    bool painted = false;
    for (WindowHandle handle : dirty) painted = PaintIfDirty(handle) || painted;
    return painted;
}


using platform::ZBand;

void SendKillFocus(WindowHandle losing)
{
    TheWorld().focus = 0;
    if (FindWindow(losing)) Dispatch(losing, platform::wm::KillFocus, 0, 0);
}

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
    case platform::z::Topmost: PlaceInBand(window, ZBand::Topmost); break;
    case platform::z::NotTopmost:
        // A normal window keeps its place; a topmost or bottom-most one
        // becomes normal (the band follows the last placement).
        if (w->band == ZBand::Normal) return true;
        PlaceInBand(window, ZBand::Normal);
        break;
    case platform::z::Top: PlaceInBand(window, w->band); break;
    case platform::z::Bottom:
        w->band = ZBand::Bottom;
        std::erase(TheWorld().zOrder, window);
        TheWorld().zOrder.push_back(window);
        break;
    default: return false;
    }
    ++TheWorld().restacks;
    return true;
}

bool IsMapped(WindowHandle window)
{
    const SimWindow* w = FindWindow(window);
    if (w == nullptr || !w->shown) return false;
    if (w->parent != 0) return IsMapped(w->parent);
    const Rect screen = TheWorld().screen;
    return w->bounds.left < screen.right && w->bounds.right > screen.left && w->bounds.top < screen.bottom &&
           w->bounds.bottom > screen.top;
}

WindowHandle TopLevelOf(WindowHandle window)
{
    const SimWindow* w = FindWindow(window);
    return w != nullptr && w->parent != 0 ? w->parent : window;
}

std::vector<WindowHandle> ChildrenOf(WindowHandle window)
{
    std::vector<WindowHandle> children;
    for (const auto& [handle, w] : TheWorld().windows)
        if (w.parent == window) children.push_back(handle);
    return children;
}

void RequestActivation(WindowHandle window)
{
    if (IsMapped(window)) TheWorld().activationDue = window;
}

bool DeliverOneActivation()
{
    World& world = TheWorld();
    const WindowHandle window = std::exchange(world.activationDue, 0);
    if (window == 0) return false;
    // The window may have been hidden or moved off the screen meanwhile.
    if (IsMapped(window)) {
        ++world.activationsDelivered;
        Activate(window, platform::wa::Active);
    }
    return true;
}

void Activate(WindowHandle window, std::uint32_t how)
{
    World& world = TheWorld();
    const WindowHandle previous = world.active;
    if (previous == window) return;
    world.active = window;
    if (FindWindow(previous))
        Dispatch(previous, platform::wm::Activate, platform::wa::Inactive, static_cast<LParam>(window));
    if (window != 0 && world.active == window)
        Dispatch(window, platform::wm::Activate, how, static_cast<LParam>(previous));
    if (world.active != window) return;
    // The keyboard focus asked for while the window was inactive comes now
    // (to it or to one of its children); a focus that stayed in a window no
    // longer active is lost.
    if (world.focusOnActivation != 0 && TopLevelOf(world.focusOnActivation) == window) {
        const WindowHandle focus = world.focusOnActivation;
        world.focusOnActivation = 0;
        platform::SetKeyboardFocus(focus);
    }
    if (world.focus != 0 && TopLevelOf(world.focus) == previous) SendKillFocus(world.focus);
}

void LeaveHiddenWindow(WindowHandle window)
{
    World& world = TheWorld();
    if (world.active == window) {
        world.active = 0;
        Dispatch(window, platform::wm::Activate, platform::wa::Inactive, 0);
    }
    if (world.focus != 0 && TopLevelOf(world.focus) == window) SendKillFocus(world.focus);
}

void CarryOutSessionEnd()
{
    World& world = TheWorld();
    if (!world.sessionEndRequested || world.sessionEndWindow == 0) return;
    world.sessionEndRequested = false;
    if (platform::IsLiveWindow(world.sessionEndWindow)) platform::DestroyAppWindow(world.sessionEndWindow);
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

// The window comes to the front of its band at once; its activation arrives
// later from the loop, and only for a window on the screen.
bool BringToForeground(WindowHandle window)
{
    if (!IsLiveWindow(window)) return false;
    ++TheWorld().restacks;
    window = sim::detail::TopLevelOf(window);
    sim::detail::PlaceInBand(window, FindWindow(window)->band);
    sim::detail::RequestActivation(window);
    return true;
}

WindowHandle GetForegroundAppWindow() { return TheWorld().active; }

// Only a window on the screen can take the keys. In the active window the
// focus moves at once; another window is activated first, through the loop,
// and takes the focus with its activation.
WindowHandle SetKeyboardFocus(WindowHandle window)
{
    auto& world = TheWorld();
    const WindowHandle previous = world.focus;
    if (window == 0) {
        if (previous != 0) sim::detail::SendKillFocus(previous);
        return previous;
    }
    if (!sim::detail::IsMapped(window)) return 0;
    const WindowHandle top = sim::detail::TopLevelOf(window);
    if (world.active != top) {
        world.focusOnActivation = window;
        sim::detail::RequestActivation(top);
        return previous;
    }
    if (previous == window) return previous;
    world.focus = window;
    if (IsLiveWindow(previous)) sim::detail::Dispatch(previous, wm::KillFocus, 0, 0);
    if (world.focus == window) sim::detail::Dispatch(window, wm::SetFocus, 0, 0);
    return previous;
}

WindowHandle GetKeyboardFocus() { return TheWorld().focus; }

void CapturePointer(WindowHandle window)
{
    if (IsLiveWindow(window)) TheWorld().capture = window;
}

void ReleasePointer() { TheWorld().capture = 0; }
WindowHandle GetPointerCapture() { return TheWorld().capture; }

// The window the desktop ends when the session ends (sim::EndSession).
void SetSessionEndWindow(WindowHandle window) { TheWorld().sessionEndWindow = window; }

// A signal or the desktop's quit: carried out by the next loop that looks at
// the queue, and only once the program has named its session-end window.
// Before that, it closes the message box or dialog open, as Escape does.
void RequestSessionEnd(SessionEnd)
{
    auto& world = TheWorld();
    world.sessionEndRequested = true;
    if (world.sessionEndWindow == 0) CloseMenuOrDialog();
}

}  // namespace platform

namespace sim {

using detail::FindWindow;

bool EndSession()
{
    const WindowHandle window = detail::TheWorld().sessionEndWindow;
    const bool live = window != 0 && platform::IsLiveWindow(window);
    platform::RequestSessionEnd(platform::SessionEnd::Terminate);
    platform::PumpMessages();
    return live && !platform::IsLiveWindow(window);
}

void FailNthWindowCreation(int n) { detail::TheWorld().failCreationCountdown = n; }

void SetScreen(const Rect& screen, const Rect& workArea)
{
    detail::TheWorld().screen = screen;
    detail::TheWorld().workArea = workArea;
}

std::vector<WindowHandle> WindowsInZOrder() { return detail::TheWorld().zOrder; }
int ActivationsDelivered() { return detail::TheWorld().activationsDelivered; }
int Restacks() { return detail::TheWorld().restacks; }

std::u16string WindowClass(WindowHandle window)
{
    const auto* w = FindWindow(window);
    return w == nullptr ? std::u16string{} : w->className;
}

std::u16string WindowTitle(WindowHandle window)
{
    const auto* w = FindWindow(window);
    return w == nullptr ? std::u16string{} : w->title;
}

}  // namespace sim
