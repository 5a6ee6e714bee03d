// Watching a folder with inotify. The folder's own watch reports its files;
// a second watch on its parent reports the folder's name, so that a folder
// renamed away, removed, or replaced by another renamed over it is watched
// again under its name and reported as changed whole.
#include "platform/posix/folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/folder_watch.h"
#include "platform/posix/file_io.h"
#include "platform/text.h"

namespace platform::posix {

FolderWatchTarget folderWatchTarget;

namespace {

constexpr std::uint32_t kFileEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                      IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kParentEvents = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

struct Watch {
    int fd = -1;
    int folderWatch = -1;
    int parentWatch = -1;
    std::string folder;  // native
    std::string name;    // the folder's name in its parent
};
Watch watch;

void AddOnce(std::vector<std::u16string>& names, std::u16string name)
{
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
}

// The folder at the name may be another one now: watch that one.
void WatchFolderAgain()
{
    if (watch.folderWatch >= 0) inotify_rm_watch(watch.fd, watch.folderWatch);
    watch.folderWatch = inotify_add_watch(watch.fd, watch.folder.c_str(), kFileEvents);
}

void Take(int wd, std::uint32_t mask, const std::string& name, std::vector<std::u16string>& names)
{
    if ((mask & IN_Q_OVERFLOW) != 0) return AddOnce(names, u"");  // changes were lost: any file may differ
    if (wd == watch.parentWatch) {
        if (name != watch.name) return;
        WatchFolderAgain();
        AddOnce(names, u"");
    } else if (wd == watch.folderWatch) {
        if ((mask & (IN_MOVE_SELF | IN_DELETE_SELF)) != 0) {
            // Gone from its name: the parent's watch hears of a successor.
            inotify_rm_watch(watch.fd, watch.folderWatch);
            watch.folderWatch = -1;
            WatchFolderAgain();
            AddOnce(names, u"");
        } else if (!name.empty()) {
            AddOnce(names, FromUtf8(name));
        }
    }
}

}  // namespace

int StartFolderWatch(const std::u16string& folder)
{
    EndFolderWatch();
    watch.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch.fd < 0) return -1;
    watch.folder = NativePath(folder);
    while (watch.folder.size() > 1 && watch.folder.back() == '/') watch.folder.pop_back();
    watch.name = NameOf(watch.folder);
    watch.folderWatch = inotify_add_watch(watch.fd, watch.folder.c_str(), kFileEvents);
    watch.parentWatch = inotify_add_watch(watch.fd, FolderOf(watch.folder).c_str(), kParentEvents);
    if (watch.folderWatch < 0) {
        EndFolderWatch();
        return -1;
    }
    return watch.fd;
}

bool ReadFolderWatch(std::vector<std::u16string>& names)
{
    if (watch.fd < 0) return false;
    alignas(inotify_event) std::array<char, 16384> buffer;
    bool any = false;
    for (;;) {
        const ssize_t n = ::read(watch.fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + at, sizeof event);
            // The name follows the fixed part, padded with NULs.
            const char* name = buffer.data() + at + sizeof event;
            Take(event.wd, event.mask, std::string(name, strnlen(name, event.len)), names);
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
        any = true;
    }
    return any;
}

void EndFolderWatch()
{
    if (watch.fd >= 0) ::close(watch.fd);
    watch = Watch{};
    folderWatchTarget.changes.clear();
    folderWatchTarget.posted = false;
}

}  // namespace platform::posix

namespace platform {

std::vector<std::u16string> TakeFolderChanges()
{
    posix::FolderWatchTarget& target = posix::folderWatchTarget;
    target.posted = false;
    return std::exchange(target.changes, {});
}

}  // namespace platform
