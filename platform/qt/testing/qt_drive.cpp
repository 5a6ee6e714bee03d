// The Qt backend's side of how tests drive the program
// (platform/testing/inspect.h): pumping the posted messages outside a main
// loop, or for a while of timers; closing the innermost menu or dialog as
// the Escape key does; key strokes, compositions and close requests that
// enter through the widgets' own event handling as the desktop's do; and
// the desktop ending the program. Built into platform_qt_testing, for test
// programs only.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <csignal>

#include "platform/qt/qt_input.h"
#include "platform/qt/qt_windows.h"
#include "platform/shared/key_input.h"
#include "platform/testing/inspect.h"

namespace platform {
using namespace platform::qt;

namespace {

QWidget* WidgetOfWindow(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    return record ? WidgetOf(*record) : nullptr;
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
    Qt::KeyboardModifiers qtModifiers;
    qtModifiers.setFlag(Qt::AltModifier, (modifiers & mod::Alt) != 0);
    qtModifiers.setFlag(Qt::ControlModifier, (modifiers & mod::Control) != 0);
    qtModifiers.setFlag(Qt::ShiftModifier, (modifiers & mod::Shift) != 0);
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

// The composition enters as the desktop's input method gives one: a
// QInputMethodEvent carrying the finished text, sent to the widget.
void DeliverComposition(WindowHandle window, std::u16string_view text)
{
    QWidget* widget = WidgetOfWindow(window);
    if (!widget)
        return;
    QInputMethodEvent event;
    event.setCommitString(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
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
