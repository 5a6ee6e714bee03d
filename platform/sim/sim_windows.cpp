// The simulated window table: the class, window creation and destruction,
// geometry with its move and size messages, visibility, repainting, and the
// test's view of the windows.
#include <algorithm>

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

bool RegisterWindowClass(const std::u16string& className, std::uint32_t, WindowProcFn proc, int)
{
    if (className.empty() || proc == nullptr) return false;
    return TheWorld().classes.emplace(className, proc).second;
}

WindowHandle CreateAppWindow(const std::u16string& className, const std::u16string& title,
                             std::uint32_t exStyle, std::uint32_t style, Rect bounds)
{
    auto& world = TheWorld();
    auto cls = world.classes.find(className);
    if (cls == world.classes.end() || CreationFailsNow()) return 0;
    const WindowHandle handle = sim::detail::NextWindowHandle();
    SimWindow window;
    window.className = className;
    window.title = title;
    window.exStyle = exStyle;
    window.style = style;
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
    auto& world = TheWorld();
    world.windows.erase(handle);
    std::erase(world.zOrder, handle);
    for (WindowHandle* held : {&world.active, &world.foreground, &world.focus, &world.capture})
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
    if (showCommand == sw::ShowNormal) sim::detail::Activate(handle);
    return wasShown;
}

bool IsWindowShown(WindowHandle handle)
{
    const SimWindow* window = FindWindow(handle);
    return window != nullptr && window->shown;
}

Rect GetWindowBounds(WindowHandle handle)
{
    const SimWindow* window = FindWindow(handle);
    return window == nullptr ? Rect{} : window->bounds;
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
    if (!(flags & swp::NoActivate) && IsWindowShown(handle)) sim::detail::Activate(handle);
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

}  // namespace sim::detail

namespace sim {

using detail::FindWindow;

void FailNthWindowCreation(int n) { detail::TheWorld().failCreationCountdown = n; }

void SetScreen(const Rect& screen, const Rect& workArea)
{
    detail::TheWorld().screen = screen;
    detail::TheWorld().workArea = workArea;
}

std::vector<WindowHandle> WindowsInZOrder() { return detail::TheWorld().zOrder; }

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

std::uint32_t WindowExStyle(WindowHandle window)
{
    const auto* w = FindWindow(window);
    return w == nullptr ? 0 : w->exStyle;
}

std::uint32_t WindowStyle(WindowHandle window)
{
    const auto* w = FindWindow(window);
    return w == nullptr ? 0 : w->style;
}

}  // namespace sim
