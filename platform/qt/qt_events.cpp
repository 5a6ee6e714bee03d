// The window widget: Qt's events of a program window become the messages
// of its window procedure (activation, paint, geometry, close, keys,
// pointer, focus).
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/qt/qt_input.h"
#include "platform/qt/qt_windows.h"
#include "platform/qt/qt_x11.h"
#include "platform/shared/key_input.h"

namespace platform::qt {

AppWindow::AppWindow(WindowHandle handle)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), handle_(handle)
{
    // The window paints all of itself: Qt must not fill a background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // A window looks the same active or not. Qt repaints a widget whose
    // palette differs between the two whenever it is activated, and such a
    // repaint, coming a moment after the click that activated a note, wiped
    // the dotted outline of the drag that click began.
    QPalette same = palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        same.setBrush(QPalette::Inactive, r, same.brush(QPalette::Active, r));
    }
    setPalette(same);
}

bool AppWindow::event(QEvent* event)
{
    if (const WindowRecord* record = FindRecord(handle_)) {
        // The desktop may report an activation late, after the program has
        // hidden the window (a menu closing hands the focus back); a hidden
        // window is never the active one.
        if (event->type() == QEvent::WindowActivate && record->shown)
            SetActiveWindow(handle_, wa::Active);
        else if (event->type() == QEvent::WindowDeactivate && GetForegroundAppWindow() == handle_)
            SetActiveWindow(0, wa::Inactive);
    }
    return QWidget::event(event);
}

void AppWindow::paintEvent(QPaintEvent*)
{
    WindowRecord* record = FindRecord(handle_);
    if (!record)
        return;
    const WindowHandle window = handle_;
    const bool erase = !record->skipErase;
    record->skipErase = false;
    record->updatePending = false;
    QPainter painter(this);
    const DrawContext context = OpenPaintContext(painter, window);
    if (erase)
        SendWindowMessage(window, wm::EraseBackground, context, 0);
    if (IsLiveWindow(window))
        SendWindowMessage(window, wm::Paint, context, 0);
    ClosePaintContext(context);
}

void AppWindow::ReportGeometry(bool fromDesktop)
{
    WindowRecord* record = FindRecord(handle_);
    if (!record || !isVisible())
        return;
    Rect now = ToRect(geometry());
    // While the window manager takes the window on, Qt's idea of its place
    // may be a reading of the X server taken before the window manager had
    // placed its frame, and nothing later corrects it: the window stands
    // where the program put it, unless the window manager said otherwise.
    if (fromDesktop && record->placing) {
        const Point corner = record->desktopCorner.value_or(Point{record->bounds.left, record->bounds.top});
        now = Rect{corner.x, corner.y, corner.x + now.Width(), corner.y + now.Height()};
    }
    const Rect old = record->bounds;
    const Rect asked = NativeBounds(old);
    if (now == asked)
        return;
    // Moved by the desktop, the window keeps its whole size where only the
    // part past the work area was left out; a size the desktop gave it is
    // its size.
    if (now.Width() == asked.Width() && now.Height() == asked.Height())
        now = Rect{now.left, now.top, now.left + old.Width(), now.top + old.Height()};
    record->bounds = now;
    if (const Rect native = NativeBounds(now); native != ToRect(geometry()))
        setGeometry(ToQRect(native));
    PlaceChildWidgets(handle_);
    const WindowHandle window = handle_;
    if (now.left != old.left || now.top != old.top)
        SendWindowMessage(window, wm::Move, 0, PackPoint(now.left, now.top));
    if (IsLiveWindow(window) && (now.Width() != old.Width() || now.Height() != old.Height()))
        SendWindowMessage(window, wm::Size, 0, PackPoint(now.Width(), now.Height()));
}

void AppWindow::moveEvent(QMoveEvent* event) { ReportGeometry(event->spontaneous()); }
void AppWindow::resizeEvent(QResizeEvent* event) { ReportGeometry(event->spontaneous()); }

void AppWindow::closeEvent(QCloseEvent* event)
{
    // The desktop only asks (its close button, Alt+F4, the window manager's
    // close): the window decides, and its default is to close.
    event->ignore();
    if (FindRecord(handle_))
        SendWindowMessage(handle_, wm::SysCommand, sc::Close, 0);
}

void AppWindow::keyPressEvent(QKeyEvent* event)
{
    if (FindRecord(handle_))
        SendKeyPress(handle_, *event);
}

void AppWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (FindRecord(handle_))
        SendKeyRelease(handle_, *event);
}

void AppWindow::mousePressEvent(QMouseEvent* event)
{
    if (!FindRecord(handle_))
        return;
    // A click activates the window before the window hears of the press;
    // the desktop's word on it comes only later.
    SetActiveWindow(handle_, wa::ClickActive);
    if (IsLiveWindow(handle_))
        SendButton(handle_, *event, true);
}

void AppWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (FindRecord(handle_))
        SendButton(handle_, *event, false);
}

void AppWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    const WindowRecord* record = FindRecord(handle_);
    if (!record)
        return;
    // Windows whose class does not ask for double clicks see a second press.
    if (event->button() == Qt::LeftButton && (record->classStyle & cs::DoubleClicks))
        SendPointer(handle_, wm::LeftButtonDoubleClick, *event);
    else
        mousePressEvent(event);
}

void AppWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (FindRecord(handle_))
        SendPointer(handle_, wm::MouseMove, *event);
}

// Qt's own handling of the focus only repaints the widget (for a focus
// frame, which a window does not draw): that repaint is left out, as the
// activation's is.
void AppWindow::focusInEvent(QFocusEvent*)
{
    ReportFocusIn(handle_);
}

void AppWindow::focusOutEvent(QFocusEvent* event)
{
    ReportFocusOut(handle_, *event);
}

bool AppWindow::focusNextPrevChild(bool)
{
    return false;  // Tab and Shift+Tab are keys for the window itself
}

}  // namespace platform::qt
