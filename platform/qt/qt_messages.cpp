// Messages: sending runs the window procedure at once; posting puts the
// message on Qt's event queue, addressed to one dispatcher object, so that
// posted messages keep their order and every loop (the main loop and the
// nested loops of menus and dialogs) delivers them. The quit message travels
// the same way, behind everything posted before it.
#include <QApplication>
#include <QEvent>
#include <QPainter>

#include "platform/qt/qt_windows.h"
#include "platform/writer.h"

namespace platform::qt {
namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct Posted {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    bool quit = false;
    std::uint64_t timerSerial = 0;  // the arming of the timer that posted it; 0: posted by a call
};

class MessageEvent : public QEvent {
public:
    explicit MessageEvent(const Posted& posted) : QEvent(kMessageEvent), posted_(posted) {}
    const Posted& Message() const { return posted_; }

private:
    Posted posted_;
};

int pendingCount = 0;   // posted and not yet delivered
bool quitDelivered = false;  // the quit message arrived outside the main loop
int quitCode = 0;

class Dispatcher : public QObject {
protected:
    void customEvent(QEvent* event) override
    {
        if (event->type() != kMessageEvent)
            return;
        --pendingCount;
        const Posted& posted = static_cast<MessageEvent*>(event)->Message();
        if (posted.quit) {
            quitDelivered = true;
            quitCode = static_cast<int>(posted.wParam);
            QCoreApplication::exit(quitCode);
        } else if (posted.timerSerial != 0) {
            if (ClaimTimerMessage(posted.window, static_cast<std::uint32_t>(posted.wParam), posted.timerSerial))
                SendWindowMessage(posted.window, posted.message, posted.wParam, posted.lParam);
        } else if (IsLiveWindow(posted.window)) {
            SendWindowMessage(posted.window, posted.message, posted.wParam, posted.lParam);
        }
    }
};

Dispatcher& TheDispatcher()
{
    static Dispatcher* dispatcher = new Dispatcher;  // lives as long as the process
    return *dispatcher;
}

void Post(const Posted& posted)
{
    ++pendingCount;
    QCoreApplication::postEvent(&TheDispatcher(), new MessageEvent(posted));
}

}  // namespace

void PostTimerMessage(WindowHandle window, std::uint32_t id, std::uint64_t serial)
{
    Post(Posted{window, wm::Timer, id, 0, false, serial});
}

bool TurnMessageLoop()
{
    QCoreApplication::sendPostedEvents(&TheDispatcher(), kMessageEvent);
    QCoreApplication::processEvents();
    return pendingCount > 0;
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

void RunOnMainThread(std::function<void()> work)
{
    // The application object lives on the program's thread (an object made
    // here on first use would belong to the calling thread).
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

bool PostWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    if (!IsLiveWindow(window))
        return false;
    Post(Posted{window, message, wParam, lParam, false});
    return true;
}

LResult SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    const WindowRecord* record = FindRecord(window);
    if (!record || !record->proc)
        return 0;
    const WindowProcFn proc = record->proc;
    return proc(window, message, wParam, lParam);
}

LResult DefaultWindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam)
{
    switch (message) {
    case wm::Close:
        DestroyAppWindow(window);
        return 0;
    case wm::SysCommand:
        if ((wParam & 0xFFF0) == sc::Close)
            SendWindowMessage(window, wm::Close, 0, 0);
        return 0;
    case wm::Activate:
        if (LowWord(wParam) != wa::Inactive)
            SetKeyboardFocus(window);
        return 0;
    case wm::EraseBackground:
        if (QPainter* painter = PainterOf(static_cast<DrawContext>(wParam))) {
            const Rect bounds = GetWindowBounds(window);
            painter->fillRect(QRect(0, 0, bounds.Width(), bounds.Height()), Qt::white);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

void PostQuit(int exitCode)
{
    Post(Posted{0, wm::Quit, static_cast<WParam>(exitCode), 0, true});
}

int RunMessageLoop()
{
    int code = quitCode;
    if (!quitDelivered)
        code = QApplication::exec();
    quitDelivered = false;
    return code;
}

}  // namespace platform
