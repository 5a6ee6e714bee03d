// Activation, keyboard focus, the pointer (its capture and place) and the
// key state.
#include <QApplication>
#include <QCursor>
#include <QFocusEvent>

#include "platform/qt/qt_windows.h"

namespace platform::qt {

// Kept by the focus events.
WindowHandle focusWindow = 0;

namespace {
WindowHandle captureWindow = 0;
WindowHandle activeWindow = 0;
// The keyboard focus asked for while its window was not active: it comes
// with the activation, after the window's own activation handling.
WindowHandle focusOnActivation = 0;

WindowHandle TopLevelOf(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    return record && record->parent ? record->parent : window;
}

// The widget of a window that is on the desktop now: a shown top-level
// window, or a shown child of one.
QWidget* MappedWidget(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    QWidget* widget = record ? WidgetOf(*record) : nullptr;
    return widget && widget->isVisible() && widget->window()->isVisible() ? widget : nullptr;
}
}  // namespace

void SetActiveWindow(WindowHandle window, std::uint32_t how)
{
    if (window == activeWindow)
        return;
    const WindowHandle previous = activeWindow;
    activeWindow = window;
    if (IsLiveWindow(previous))
        SendWindowMessage(previous, wm::Activate, wa::Inactive, static_cast<LParam>(window));
    if (WindowRecord* record = FindRecord(window)) {
        RaiseInBand(*record);
        SendWindowMessage(window, wm::Activate, how, static_cast<LParam>(previous));
    }
    if (focusOnActivation != 0 && activeWindow == window && TopLevelOf(focusOnActivation) == window) {
        const WindowHandle focus = focusOnActivation;
        focusOnActivation = 0;
        SetKeyboardFocus(focus);
    }
}

void ReportFocusIn(WindowHandle window)
{
    if (!FindRecord(window))
        return;
    focusWindow = window;
    SendWindowMessage(window, wm::SetFocus, 0, 0);
}

void ReportFocusOut(WindowHandle window, const QFocusEvent& event)
{
    if (event.reason() == Qt::PopupFocusReason || !FindRecord(window))
        return;
    if (focusWindow == window)
        focusWindow = 0;
    SendWindowMessage(window, wm::KillFocus, 0, 0);
}

void ForgetActiveWindow(WindowHandle window)
{
    if (activeWindow == window)
        activeWindow = 0;
}

WindowHandle KeyboardFocus() { return IsLiveWindow(focusWindow) ? focusWindow : 0; }
WindowHandle PointerCapture() { return IsLiveWindow(captureWindow) ? captureWindow : 0; }

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

bool BringToForeground(WindowHandle window)
{
    WindowRecord* record = FindRecord(window);
    if (!record)
        return false;
    if (record->parent)
        return BringToForeground(record->parent);  // a child comes forward with its window
    RaiseInBand(*record);
    if (QWidget* widget = MappedWidget(window)) {
        RaiseNative(*widget);
        RequestActivation(window);
    }
    return true;
}

// The program's windows are its only foreground: the active one.
WindowHandle GetForegroundAppWindow() { return IsLiveWindow(activeWindow) ? activeWindow : 0; }

// Only a mapped window can take the keys (never the main window, far off the
// screen). The focus messages come from Qt's focus events: at once in the
// active window, or with the window's activation when it is not active yet.
WindowHandle SetKeyboardFocus(WindowHandle window)
{
    const WindowHandle previous = KeyboardFocus();
    if (window == 0) {
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
        return previous;
    }
    QWidget* widget = MappedWidget(window);
    if (!widget)
        return 0;
    if (activeWindow != TopLevelOf(window))
        focusOnActivation = window;
    if (!widget->isActiveWindow())
        RequestActivation(TopLevelOf(window));
    widget->setFocus(Qt::OtherFocusReason);
    return previous;
}

void CapturePointer(WindowHandle window)
{
    if (!IsLiveWindow(window))
        return;
    ReleasePointer();
    captureWindow = window;
    if (QWidget* widget = MappedWidget(window))
        widget->grabMouse();
}

// A window hidden since it took the capture keeps Qt's grab: it is let go
// all the same, or every later click would still go to that hidden window.
void ReleasePointer()
{
    const WindowRecord* record = FindRecord(captureWindow);
    if (QWidget* widget = record ? WidgetOf(*record) : nullptr)
        widget->releaseMouse();
    captureWindow = 0;
}

Point GetPointerPosition()
{
    const QPoint at = QCursor::pos();
    return Point{at.x(), at.y()};
}

// The modifiers of the last key or mouse event read, not the keyboard's now:
// a busy program reads Ctrl+Tab after Ctrl has been let go, and the stroke
// is still Ctrl+Tab.
bool IsKeyHeld(std::uint32_t virtualKey)
{
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    switch (virtualKey) {
    case vk::Shift: return modifiers.testFlag(Qt::ShiftModifier);
    case vk::Control: return modifiers.testFlag(Qt::ControlModifier);
    case vk::Alt: return modifiers.testFlag(Qt::AltModifier);
    case 1: return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    case 2: return QGuiApplication::mouseButtons().testFlag(Qt::RightButton);
    default: return false;
    }
}

}  // namespace platform
