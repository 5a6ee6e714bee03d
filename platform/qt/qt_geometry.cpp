// Where windows stand: visibility, bounds, moves, z-order placement with the
// recorded bands and ranks, repaint requests, and the screen and work area.
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <vector>

#include "platform/editor.h"
#include "platform/qt/qt_windows.h"
#include "platform/qt/qt_x11.h"

namespace platform::qt {
namespace {

// Records the new bounds at once, moves the widget, and tells the window
// what changed.
void SetBounds(WindowRecord& record, const Rect& bounds)
{
    const WindowHandle handle = record.handle;
    const Rect old = record.bounds;
    record.bounds = bounds;
    record.desktopCorner.reset();  // the program's own place stands until the window manager answers
    if (record.widget) {
        record.widget->setGeometry(ToQRect(NativeBounds(bounds)));
        PlaceChildWidgets(handle);
    }
    if (record.dialog)
        record.dialog->setGeometry(ToQRect(bounds));
    SyncNativeVisibility(record, false);
    if (old.left != bounds.left || old.top != bounds.top)
        SendWindowMessage(handle, wm::Move, 0, PackPoint(bounds.left, bounds.top));
    if (IsLiveWindow(handle) && (old.Width() != bounds.Width() || old.Height() != bounds.Height()))
        SendWindowMessage(handle, wm::Size, 0, PackPoint(bounds.Width(), bounds.Height()));
}

bool IsKnownInsertAfter(std::int32_t insertAfter)
{
    return insertAfter == z::Top || insertAfter == z::Bottom || insertAfter == z::Topmost ||
           insertAfter == z::NotTopmost;
}

// Puts the window in its band and position in the recorded order, and asks
// the desktop to do the same when the window is mapped.
void ApplyZOrder(WindowRecord& record, std::int32_t insertAfter)
{
    // A normal window that is told to be not topmost keeps its place.
    if (insertAfter == z::NotTopmost && record.band == ZBand::Normal)
        return;
    switch (insertAfter) {
    case z::Topmost: record.band = ZBand::Topmost; break;
    case z::NotTopmost: record.band = ZBand::Normal; break;
    case z::Bottom: record.band = ZBand::Bottom; break;
    default: break;
    }
    if (insertAfter == z::Bottom)
        LowerInBand(record);
    else
        RaiseInBand(record);
    AppWindow* widget = record.widget;
    if (!widget || !widget->isVisible())
        return;
    // A window the window manager has not mapped yet takes its band from the
    // states it finds at the map (or that the map asserts again).
    if (record.mappedByDesktop)
        x11::ApplyBand(*widget, record.band);
    if (insertAfter == z::Bottom)
        LowerNative(*widget);
    else if (!AwaitsFirstPlaceInFront(record))
        RaiseNative(*widget);
}

Rect PlacedBounds(const WindowRecord& record, const Rect& bounds, std::uint32_t flags)
{
    Rect result = record.bounds;
    if (!(flags & swp::NoMove)) {
        result.right += bounds.left - result.left;
        result.bottom += bounds.top - result.top;
        result.left = bounds.left;
        result.top = bounds.top;
    }
    if (!(flags & swp::NoSize)) {
        result.right = result.left + bounds.Width();
        result.bottom = result.top + bounds.Height();
    }
    return result;
}

}  // namespace

// A window that grows past the work area's edge is one the window manager
// pushes back onto the screen (openbox moves it left or up by as much), and
// one so tall that a tenth of it reaches past the bottom one it moves up
// until only a tenth shows: the note's corner would leave its place, its
// first line the screen. What lies past the edges could not show anyway.
// The area is the X work area, which spans every monitor, or the screens'
// available area where there is none.
Rect NativeBounds(const Rect& bounds)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const Rect area = x11::WorkArea().value_or(screen ? ToRect(screen->availableVirtualGeometry()) : Rect{});
    Rect native = bounds;
    if (bounds.left < area.right && bounds.top < area.bottom && area.Width() > 0 && area.Height() > 0) {
        native.right = std::max(bounds.left + 1, std::min(bounds.right, area.right));
        native.bottom = std::max(bounds.top + 1, std::min(bounds.bottom, area.bottom));
    }
    return native;
}

void RefreshNativeBounds()
{
    for (const auto& [handle, record] : AllRecords()) {
        if (record->widget && !record->parent) {
            record->widget->setGeometry(ToQRect(NativeBounds(record->bounds)));
            PlaceChildWidgets(handle);
        }
    }
}

// A child is cut to the part of its parent on the desktop: an editor over a
// note many screens high lays out and paints only what can show.
QRect NativeChildGeometry(const WindowRecord& child)
{
    Rect r = child.bounds;
    if (const WindowRecord* parent = FindRecord(child.parent)) {
        const Rect shown = NativeBounds(parent->bounds);
        r.right = std::max(r.left + 1, std::min(r.right, shown.Width()));
        r.bottom = std::max(r.top + 1, std::min(r.bottom, shown.Height()));
    }
    return ToQRect(r);
}

void PlaceChildWidgets(WindowHandle parent)
{
    for (const auto& [handle, record] : AllRecords()) {
        if (record->parent == parent && record->child)
            record->child->setGeometry(NativeChildGeometry(*record));
    }
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

bool ShowAppWindow(WindowHandle window, int showCommand)
{
    WindowRecord* record = FindRecord(window);
    if (!record)
        return false;
    const bool wasShown = record->shown;
    record->shown = showCommand != sw::Hide;
    if (record->parent) {
        if (record->child)
            record->child->setVisible(record->shown);
        return wasShown;
    }
    if (record->shown && !wasShown)
        RaiseInBand(*record);
    SyncNativeVisibility(*record, record->shown);
    return wasShown;
}

bool IsWindowShown(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    return record && record->shown;
}

// A child's rectangle on the screen is its place in its parent's client
// area moved by the parent's place on the screen.
Rect GetWindowBounds(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    if (!record)
        return Rect{};
    if (!record->parent)
        return record->bounds;
    const Rect parent = GetWindowBounds(record->parent);
    const Rect child = record->bounds;
    return Rect{parent.left + child.left, parent.top + child.top, parent.left + child.right,
                parent.top + child.bottom};
}

bool MoveAppWindow(WindowHandle window, Rect bounds, bool repaint)
{
    WindowRecord* record = FindRecord(window);
    if (!record)
        return false;
    if (record->parent) {
        const Rect parent = GetWindowBounds(record->parent);
        return MoveChildWindow(window,
                               Rect{bounds.left - parent.left, bounds.top - parent.top, bounds.right - parent.left,
                                    bounds.bottom - parent.top},
                               repaint);
    }
    SetBounds(*record, bounds);
    if (repaint)
        InvalidateWindow(window, true);
    return true;
}

bool PlaceWindow(WindowHandle window, std::int32_t insertAfter, Rect bounds, std::uint32_t flags)
{
    WindowRecord* record = FindRecord(window);
    if (!record || record->parent || (!(flags & swp::NoZOrder) && !IsKnownInsertAfter(insertAfter)))
        return false;
    if ((flags & (swp::NoMove | swp::NoSize)) != (swp::NoMove | swp::NoSize)) {
        SetBounds(*record, PlacedBounds(*record, bounds, flags));
        if (!(record = FindRecord(window)))
            return true;
    }
    if (!(flags & swp::NoZOrder))
        ApplyZOrder(*record, insertAfter);
    const bool activate = !(flags & swp::NoActivate) && insertAfter != z::Bottom;
    if (flags & swp::ShowWindow)
        record->shown = true;
    if (flags & swp::HideWindow)
        record->shown = false;
    SyncNativeVisibility(*record, activate && (flags & swp::ShowWindow));
    if (activate && record->shown && record->widget && record->widget->isVisible())
        RequestActivation(window);
    return true;
}

void InvalidateWindow(WindowHandle window, bool erase)
{
    WindowRecord* record = FindRecord(window);
    if (!record)
        return;
    // An erase asked for earlier still happens; a plain repaint never cancels it.
    if (erase)
        record->skipErase = false;
    else if (!record->updatePending)
        record->skipErase = true;
    record->updatePending = true;
    if (QWidget* widget = WidgetOf(*record))
        widget->update();
}

void UpdateAppWindow(WindowHandle window)
{
    WindowRecord* record = FindRecord(window);
    QWidget* widget = record ? WidgetOf(*record) : nullptr;
    if (record && record->updatePending && widget && widget->isVisible())
        widget->repaint();
}

Rect GetScreenBounds()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToRect(screen->geometry()) : Rect{};
}

Rect GetWorkArea()
{
    if (const auto area = x11::WorkArea())
        return *area;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToRect(screen->availableGeometry()) : Rect{};
}

}  // namespace platform
