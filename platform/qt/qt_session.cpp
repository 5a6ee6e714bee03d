// The end of the program from outside: SIGTERM, SIGINT and SIGHUP (a closed
// terminal, some session ends) and Qt's quit event (the session manager's
// end of the session) destroy the window that the program named for it, so
// the program ends through its own shutdown path instead of dying between
// two messages.
//
// The signal handlers are in place from the backend's start, before the
// program has its main window: a signal handler only writes a byte to a
// socket pair, and a Qt loop reads it and does the work. A request that
// comes before the window is named waits, and the first loop that runs
// after it is named carries it out, so start-up always completes; only a
// message box of a start-up that cannot go on is closed at once.
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/qt/qt_windows.h"

namespace {

int signalPipe[2] = {-1, -1};
platform::WindowHandle sessionWindow = 0;
bool endRequested = false;

void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
    errno = saved;
}

void EndSession()
{
    if (sessionWindow == 0) {
        endRequested = true;
        // A box open before the program has its windows is a start-up that
        // stops (it cannot go on without what the box is about): the box
        // closes as with Escape, and the start-up ends its own way.
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
        return;
    }
    endRequested = false;
    if (platform::IsLiveWindow(sessionWindow)) platform::DestroyAppWindow(sessionWindow);
}

void OnSignalByte()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
    EndSession();
}

// Qt's quit event would close every window, and a note must never close
// because of it; the program ends its own way instead. Qt's advice for
// commitDataRequest is not to end there (the user may still cancel the
// logout), and every change is on disk within a second anyway, so the
// program has nothing to commit then.
class QuitFilter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit) return false;
        EndSession();
        return true;
    }
};

}  // namespace

namespace platform::qt {

void InstallSessionEndSignals()
{
    if (signalPipe[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

void WatchSessionEnd()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (signalPipe[1] >= 0) {
        auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, application);
        QObject::connect(notifier, &QSocketNotifier::activated, [] { OnSignalByte(); });
    }
    auto* quitFilter = new QuitFilter;
    quitFilter->setParent(application);  // goes with the application object
    application->installEventFilter(quitFilter);
    // Whatever else ends Qt's loop ends the program the same way.
    QObject::connect(application, &QCoreApplication::aboutToQuit, [] {
        if (sessionWindow != 0 && platform::IsLiveWindow(sessionWindow)) EndSession();
    });
}

}  // namespace platform::qt

namespace platform {

void SetSessionEndWindow(WindowHandle window)
{
    sessionWindow = window;
    if (endRequested)
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { EndSession(); }, Qt::QueuedConnection);
}

}  // namespace platform

namespace platform {

void CatchEndSignals() { qt::InstallSessionEndSignals(); }

}  // namespace platform
