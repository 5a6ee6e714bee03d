// Watching a folder on the headless backend: the file layer's inotify
// descriptor is read each time a loop looks at the queue, without waiting,
// so a change the test made before it pumps is posted at the same point of
// every run.
#include "platform/folder_watch.h"

#include "platform/posix/folder_watch.h"
#include "platform/sim/sim_world.h"
#include "platform/window.h"

namespace sim::detail {

void PostFolderChanges() { platform::posix::DeliverFolderChanges(platform::PostWindowMessage); }

}  // namespace sim::detail

namespace platform {

bool WatchFolder(const std::u16string& folder, WindowHandle window, std::uint32_t message)
{
    if (posix::StartFolderWatch(folder) < 0) return false;
    posix::folderWatchTarget.window = window;
    posix::folderWatchTarget.message = message;
    return true;
}

void StopWatchingFolder() { posix::EndFolderWatch(); }

}  // namespace platform
