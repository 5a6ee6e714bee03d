// The Qt backend's side of how tests drive the program
// (platform/testing/inspect.h): pumping the posted messages outside a main
// loop, or for a while of timers; closing the innermost menu or dialog as
// the Escape key does, or choosing in it; key strokes, the mouse,
// compositions, close requests and tray clicks that enter through Qt's own
// handling of them as the desktop's do; and the desktop ending the program.
// Built into platform_qt_testing, for test programs only.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <vector>

#include "platform/qt/qt_input.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_windows.h"
#include "platform/shared/key_input.h"
#include "platform/system.h"
#include "platform/testing/inspect.h"

// Qt's entry for a mouse event of the window system, which Qt's own test
// library drives the mouse through (declared in its qtestmouse.h).
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);

namespace platform {
using namespace platform::qt;

namespace {

QWidget* WidgetOfWindow(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    return record ? WidgetOf(*record) : nullptr;
}

void SendKey(QWidget* widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

Qt::KeyboardModifiers QtModifiers(std::uint32_t modifiers)
{
    Qt::KeyboardModifiers qtModifiers;
    qtModifiers.setFlag(Qt::AltModifier, (modifiers & mod::Alt) != 0);
    qtModifiers.setFlag(Qt::ControlModifier, (modifiers & mod::Control) != 0);
    qtModifiers.setFlag(Qt::ShiftModifier, (modifiers & mod::Shift) != 0);
    return qtModifiers;
}

// The enabled items on the way to the enabled command with this id, the
// submenus that hold it first; false when the menu holds no such command.
bool PathTo(const QMenu& menu, std::uint32_t id, std::vector<QAction*>& path)
{
    for (QAction* action : menu.actions()) {
        if (action->isSeparator() || !action->isEnabled())
            continue;
        path.push_back(action);
        if (action->menu() ? PathTo(*action->menu(), id, path) : action->data().toULongLong() == id)
            return true;
        path.pop_back();
    }
    return false;
}

QMessageBox::StandardButton ButtonOf(int answer)
{
    switch (answer) {
    case id::Ok: return QMessageBox::Ok;
    case id::Cancel: return QMessageBox::Cancel;
    case id::Yes: return QMessageBox::Yes;
    case id::No: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

}  // namespace

// A window just shown is pending work too: the desktop maps and exposes it
// a moment later, and only then can it paint. The pump waits for that, but
// not for long.
void PumpMessages()
{
    constexpr int kMaxRounds = 100000;  // a message that keeps posting itself
    constexpr int kExposureWaitMs = 1000;
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < kMaxRounds; ++round) {
        if (TurnMessageLoop())
            continue;
        if (!AnyWindowAwaitingExposure() || clock.elapsed() > kExposureWaitMs)
            break;
        QThread::msleep(2);
    }
}

// Processes events directly rather than in a QEventLoop of its own: once a
// quit message has been delivered, Qt lets no new event loop run until the
// main one starts again.
void PumpMessagesFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;  // its firing ends the last wait on time
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(std::max(milliseconds, 0));
    while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    PumpMessages();
}

// The innermost nested loop belongs to the open popup menu, or else to the
// modal dialog or message box; the Escape key closes either its own way.
void CloseMenuOrDialog()
{
    QWidget* target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::activeModalWidget();
    if (!target)
        return;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &escape);
}

// The stroke enters through the window's own key handling, as a key event
// of the desktop would, carrying the text the keyboard would type.
void DeliverKeyStroke(WindowHandle window, std::uint32_t virtualKey, std::uint32_t modifiers)
{
    QPointer<QWidget> widget = WidgetOfWindow(window);
    if (!widget)
        return;
    const Qt::KeyboardModifiers qtModifiers = QtModifiers(modifiers);
    const char16_t typed =
        shared::TypedCharacter(virtualKey, (modifiers & mod::Shift) != 0, (modifiers & mod::Control) != 0);
    const QString text = typed != 0 ? QString(QChar(typed)) : QString();
    const int key = QtKeyOf(virtualKey);
    QKeyEvent press(QEvent::KeyPress, key, qtModifiers, text);
    QCoreApplication::sendEvent(widget, &press);
    if (!widget)
        return;
    QKeyEvent release(QEvent::KeyRelease, key, qtModifiers, text);
    QCoreApplication::sendEvent(widget, &release);
}

// The mouse enters where the desktop's does, at Qt's entry for the window
// system's mouse events: Qt hands each to the widget under the point or to
// the one that grabbed the mouse, and forms a double click from a second
// press that comes soon enough after the first at the same place.
void DeliverMouse(WindowHandle window, MouseAction action, Point client, std::uint32_t modifiers)
{
    static Qt::MouseButtons held;  // the buttons the mouse holds down
    static int clock = 0;          // the events' times in milliseconds
    QWidget* widget = WidgetOfWindow(window);
    QWindow* target = widget ? widget->window()->windowHandle() : nullptr;
    if (!target)
        return;
    const QPoint local = widget->mapTo(widget->window(), QPoint(client.x, client.y));
    const QPoint global = widget->window()->mapToGlobal(local);
    const auto send = [&](QEvent::Type type, int after) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        if (type != QEvent::MouseMove)
            held.setFlag(Qt::LeftButton, type == QEvent::MouseButtonPress);
        clock += after;
        qt_handleMouseEvent(target, local, global, held, button, type, QtModifiers(modifiers), clock);
    };
    // Apart from the presses of a double click, events lie far apart in time.
    constexpr int kApart = 10000;
    switch (action) {
    case MouseAction::Press: send(QEvent::MouseButtonPress, kApart); break;
    case MouseAction::Move: send(QEvent::MouseMove, kApart); break;
    case MouseAction::Release: send(QEvent::MouseButtonRelease, kApart); break;
    case MouseAction::DoubleClick:
        send(QEvent::MouseButtonPress, kApart);
        send(QEvent::MouseButtonRelease, 1);
        send(QEvent::MouseButtonPress, 1);
        break;
    }
}

// The keyboard walks to the item, as Qt's menus let it: Right opens each
// submenu on the way, Return chooses.
bool ChooseMenuItem(std::uint32_t id)
{
    QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    std::vector<QAction*> path;
    if (!menu || !PathTo(*menu, id, path))
        return false;
    for (QAction* step : path) {
        menu->setActiveAction(step);
        if (!step->menu())
            break;
        SendKey(menu, Qt::Key_Right);
        menu = step->menu();
    }
    SendKey(menu, Qt::Key_Return);
    return true;
}

// Qt hears of the program losing the focus as the application's deactivation.
void DeliverLateFocusLoss()
{
    QEvent deactivation(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivation);
}

bool AnswerMessageBox(int answer)
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QAbstractButton* button = box ? box->button(ButtonOf(answer)) : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

// What the desktop's tray reports of a click is Qt's activation signal.
bool ClickTrayIcon(WindowHandle owner, std::uint32_t id)
{
    const auto it = TrayIcons().find({owner, id});
    if (it == TrayIcons().end())
        return false;
    emit it->second->activated(QSystemTrayIcon::Trigger);
    return true;
}

// The composition enters as the desktop's input method gives one: a
// QInputMethodEvent carrying the finished text, sent to the widget.
void DeliverComposition(WindowHandle window, std::u16string_view text)
{
    QWidget* widget = WidgetOfWindow(window);
    if (!widget)
        return;
    QInputMethodEvent event;
    event.setCommitString(ToQString(text));
    QCoreApplication::sendEvent(widget, &event);
}

// A composition still in progress: the event's preedit text, no commit.
void DeliverComposing(WindowHandle window, std::u16string_view text)
{
    QWidget* widget = WidgetOfWindow(window);
    if (!widget)
        return;
    QInputMethodEvent event(ToQString(text), {});
    QCoreApplication::sendEvent(widget, &event);
}

// The desktop's close reaches the window's close event, as a window
// manager's WM_DELETE_WINDOW does.
void DeliverCloseRequest(WindowHandle window)
{
    if (const WindowRecord* record = FindRecord(window))
        if (record->widget)
            record->widget->close();
}

void RequestSessionEnd(SessionEnd how)
{
    switch (how) {
    case SessionEnd::Terminate: ::raise(SIGTERM); break;
    case SessionEnd::Hangup: ::raise(SIGHUP); break;
    case SessionEnd::Interrupt: ::raise(SIGINT); break;
    case SessionEnd::DesktopQuit:
        // What the session manager's end of the session delivers.
        QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
        break;
    }
}

}  // namespace platform
