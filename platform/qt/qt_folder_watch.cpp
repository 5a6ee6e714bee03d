// Watching a folder on the desktop: the file layer's inotify descriptor
// (platform/posix/folder_watch.h) wakes Qt's loop through a socket
// notifier, and the changes are posted to the program's window as a
// message behind whatever was posted before.
#include "platform/folder_watch.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include "platform/posix/folder_watch.h"
#include "platform/window.h"

namespace {

QPointer<QSocketNotifier> notifier;

void EndNotifier()
{
    delete notifier.data();
    notifier = nullptr;
}

}  // namespace

namespace platform {

bool WatchFolder(const std::u16string& folder, WindowHandle window, std::uint32_t message)
{
    EndNotifier();
    const int fd = posix::StartFolderWatch(folder);
    if (fd < 0) return false;
    posix::folderWatchTarget.window = window;
    posix::folderWatchTarget.message = message;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier.data(), &QSocketNotifier::activated,
                     [] { posix::DeliverFolderChanges(PostWindowMessage); });
    return true;
}

void StopWatchingFolder()
{
    EndNotifier();
    posix::EndFolderWatch();
}

}  // namespace platform
