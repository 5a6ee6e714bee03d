// The window widget: Qt's events of a program window become the messages
// of its window procedure (activation, paint, geometry, close, keys,
// pointer, focus). Also the test strokes of platform/inspect.h, which enter
// through the same key handling.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

#include "platform/qt/qt_windows.h"
#include "platform/shared/key_input.h"

namespace platform::qt {
namespace {

// Qt's keys and the virtual keys they stand for; the first row of a virtual
// key is the Qt key it is given back as.
constexpr std::pair<int, std::uint32_t> kKeyTable[] = {
    {Qt::Key_Backspace, vk::Back}, {Qt::Key_Tab, vk::Tab},         {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Return, vk::Return},  {Qt::Key_Enter, vk::Return},     {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control}, {Qt::Key_Alt, vk::Alt},         {Qt::Key_Escape, vk::Escape},
    {Qt::Key_Space, vk::Space},    {Qt::Key_PageUp, 33},            {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},             {Qt::Key_Home, 36},              {Qt::Key_Left, vk::Left},
    {Qt::Key_Up, vk::Up},          {Qt::Key_Right, vk::Right},      {Qt::Key_Down, vk::Down},
    {Qt::Key_Insert, 45},          {Qt::Key_Delete, vk::Delete},    {Qt::Key_Kana_Lock, vk::Kana},
    {Qt::Key_Hiragana_Katakana, vk::Kana}, {Qt::Key_Katakana, vk::Kana},
};

std::uint32_t VirtualKeyOf(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<std::uint32_t>(key);  // Qt's codes are the upper-case characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return vk::F1 + static_cast<std::uint32_t>(key - Qt::Key_F1);
    for (const auto& [qtKey, virtualKey] : kKeyTable) {
        if (qtKey == key)
            return virtualKey;
    }
    return 0;
}

int QtKeyOf(std::uint32_t virtualKey)
{
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return static_cast<int>(virtualKey);
    if (virtualKey >= vk::F1 && virtualKey < vk::F1 + 24)
        return Qt::Key_F1 + static_cast<int>(virtualKey - vk::F1);
    for (const auto& [qtKey, key] : kKeyTable) {
        if (key == virtualKey)
            return qtKey;
    }
    return Qt::Key_unknown;
}

// A key stroke with Alt held and Ctrl not held comes in the system forms of
// the key messages, so that Alt+P, Alt+arrows and Alt+Delete do not act as
// the plain keys.
bool IsSystemStroke(const QKeyEvent* event, std::uint32_t virtualKey)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    return shared::IsSystemKeyStroke(virtualKey, modifiers.testFlag(Qt::AltModifier),
                                     modifiers.testFlag(Qt::ControlModifier));
}

WParam PointerFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    WParam flags = 0;
    if (buttons.testFlag(Qt::LeftButton))
        flags |= mk::LeftButton;
    if (buttons.testFlag(Qt::RightButton))
        flags |= mk::RightButton;
    if (modifiers.testFlag(Qt::ShiftModifier))
        flags |= mk::Shift;
    if (modifiers.testFlag(Qt::ControlModifier))
        flags |= mk::Control;
    return flags;
}

void SendPointer(WindowHandle window, std::uint32_t message, const QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    SendWindowMessage(window, message, PointerFlags(event->buttons(), event->modifiers()),
                      PackPoint(at.x(), at.y()));
}

// Characters the keyboard typed, as the character messages carry them.
void SendCharacters(WindowHandle window, const QKeyEvent* event, bool system)
{
    const QString text = event->text();
    const LParam lParam = shared::KeyMessageLParam(system);
    if (system) {
        if (!text.isEmpty())
            SendWindowMessage(window, wm::SysChar, text.at(0).unicode(), lParam);
        return;
    }
    for (const QChar c : text) {
        if (c.unicode() == 0x7F || !IsLiveWindow(window))
            continue;  // Delete is a key, not a character
        SendWindowMessage(window, wm::Char, c.unicode(), lParam);
    }
}

}  // namespace

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

// The desktop moved or resized the window (or confirmed the program's own
// move): take its word, and tell the window when the rectangle changed.
void AppWindow::ReportGeometry()
{
    WindowRecord* record = FindRecord(handle_);
    if (!record || !isVisible())
        return;
    const Rect now = ToRect(geometry());
    const Rect old = record->bounds;
    if (now == old)
        return;
    record->bounds = now;
    const WindowHandle window = handle_;
    if (now.left != old.left || now.top != old.top)
        SendWindowMessage(window, wm::Move, 0, PackPoint(now.left, now.top));
    if (IsLiveWindow(window) && (now.Width() != old.Width() || now.Height() != old.Height()))
        SendWindowMessage(window, wm::Size, 0, PackPoint(now.Width(), now.Height()));
}

void AppWindow::moveEvent(QMoveEvent*) { ReportGeometry(); }
void AppWindow::resizeEvent(QResizeEvent*) { ReportGeometry(); }

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
    const WindowHandle window = handle_;
    if (!FindRecord(window))
        return;
    const std::uint32_t key = VirtualKeyOf(event->key());
    const bool system = IsSystemStroke(event, key);
    if (key) {
        const LParam repeat = event->isAutoRepeat() ? (1 << 30) : 0;
        SendWindowMessage(window, system ? wm::SysKeyDown : wm::KeyDown, key,
                          shared::KeyMessageLParam(system) | repeat);
    }
    if (IsLiveWindow(window))
        SendCharacters(window, event, system);
}

void AppWindow::keyReleaseEvent(QKeyEvent* event)
{
    const std::uint32_t key = VirtualKeyOf(event->key());
    if (!key || !FindRecord(handle_))
        return;
    const bool system = IsSystemStroke(event, key);
    SendWindowMessage(handle_, system ? wm::SysKeyUp : wm::KeyUp, key, shared::KeyMessageLParam(system));
}

void AppWindow::mousePressEvent(QMouseEvent* event)
{
    if (!FindRecord(handle_))
        return;
    // A click activates the window before the window hears of the press;
    // the desktop's word on it comes only later.
    SetActiveWindow(handle_, wa::ClickActive);
    if (!IsLiveWindow(handle_))
        return;
    if (event->button() == Qt::LeftButton)
        SendPointer(handle_, wm::LeftButtonDown, event);
    else if (event->button() == Qt::RightButton)
        SendPointer(handle_, wm::RightButtonDown, event);
}

void AppWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!FindRecord(handle_))
        return;
    if (event->button() == Qt::LeftButton)
        SendPointer(handle_, wm::LeftButtonUp, event);
    else if (event->button() == Qt::RightButton)
        SendPointer(handle_, wm::RightButtonUp, event);
}

void AppWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    const WindowRecord* record = FindRecord(handle_);
    if (!record)
        return;
    // Windows whose class does not ask for double clicks see a second press.
    if (event->button() == Qt::LeftButton && (record->classStyle & cs::DoubleClicks))
        SendPointer(handle_, wm::LeftButtonDoubleClick, event);
    else
        mousePressEvent(event);
}

void AppWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (FindRecord(handle_))
        SendPointer(handle_, wm::MouseMove, event);
}

// Qt's own handling of the focus only repaints the widget (for a focus
// frame, which a window does not draw): that repaint is left out, as the
// activation's is.
void AppWindow::focusInEvent(QFocusEvent*)
{
    if (!FindRecord(handle_))
        return;
    focusWindow = handle_;
    SendWindowMessage(handle_, wm::SetFocus, 0, 0);
}

void AppWindow::focusOutEvent(QFocusEvent* event)
{
    // A popup menu borrows the keyboard but the focus stays where it was.
    if (event->reason() == Qt::PopupFocusReason || !FindRecord(handle_))
        return;
    if (focusWindow == handle_)
        focusWindow = 0;
    SendWindowMessage(handle_, wm::KillFocus, 0, 0);
}

bool AppWindow::focusNextPrevChild(bool)
{
    return false;  // Tab and Shift+Tab are keys for the window itself
}

}  // namespace platform::qt

namespace platform {

// The stroke enters through the window's own key handling, as a key event
// of the desktop would, carrying the text the keyboard would type.
void DeliverKeyStroke(WindowHandle window, std::uint32_t virtualKey, std::uint32_t modifiers)
{
    const qt::WindowRecord* record = qt::FindRecord(window);
    QPointer<qt::AppWindow> widget = record ? record->widget : nullptr;
    if (!widget)
        return;
    Qt::KeyboardModifiers qtModifiers;
    qtModifiers.setFlag(Qt::AltModifier, (modifiers & mod::Alt) != 0);
    qtModifiers.setFlag(Qt::ControlModifier, (modifiers & mod::Control) != 0);
    qtModifiers.setFlag(Qt::ShiftModifier, (modifiers & mod::Shift) != 0);
    const char16_t typed =
        shared::TypedCharacter(virtualKey, (modifiers & mod::Shift) != 0, (modifiers & mod::Control) != 0);
    const QString text = typed != 0 ? QString(QChar(typed)) : QString();
    const int key = qt::QtKeyOf(virtualKey);
    QKeyEvent press(QEvent::KeyPress, key, qtModifiers, text);
    QCoreApplication::sendEvent(widget, &press);
    if (!widget)
        return;
    QKeyEvent release(QEvent::KeyRelease, key, qtModifiers, text);
    QCoreApplication::sendEvent(widget, &release);
}

}  // namespace platform

namespace platform {

// The desktop's close reaches the window's close event, as a window
// manager's WM_DELETE_WINDOW does.
void DeliverCloseRequest(WindowHandle window)
{
    if (const qt::WindowRecord* record = qt::FindRecord(window))
        if (record->widget)
            record->widget->close();
}

}  // namespace platform
