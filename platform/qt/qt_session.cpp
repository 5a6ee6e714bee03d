// The end of the user's session: SIGTERM and SIGINT destroy the window that
// the program named for it, so the program ends through its own shutdown
// path instead of dying between two messages. The signal handler only writes
// a byte to a socket pair; the Qt loop reads it and does the work.
#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/inspect.h"
#include "platform/window.h"

namespace {

int signalPipe[2] = {-1, -1};
platform::WindowHandle sessionWindow = 0;
QSocketNotifier* notifier = nullptr;

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}

void OnSessionEnd()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
    if (sessionWindow != 0 && platform::IsLiveWindow(sessionWindow)) platform::DestroyAppWindow(sessionWindow);
}

bool InstallHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return false;
    notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [] { OnSessionEnd(); });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace

namespace platform {

void SetSessionEndWindow(WindowHandle window)
{
    sessionWindow = window;
    if (notifier == nullptr) InstallHandlers();
}

}  // namespace platform
