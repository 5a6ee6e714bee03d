// The single-instance lock: an exclusive flock on a lock file that the
// program names (it keeps it in its Data folder, so that the lock belongs to
// the notes, whichever session starts the program). The kernel gives a flock
// back when its process ends, however it ends, so a killed holder leaves no
// stale lock. The file itself stays: removing it would let a start that
// opened the old file and one that made a new one both hold "the" lock.
//
// The hand-off to the holder is qt_hand_off_*.cpp's; the holder writes its
// socket's address into this file.
#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/qt/qt_hand_off.h"
#include "platform/system.h"
#include "platform/text.h"

namespace platform::qt {
namespace {

struct HeldLock {
    int fd = -1;
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
};
std::optional<HeldLock> held;

bool IsHeldFile(const std::string& path)
{
    struct stat info = {};
    return held && ::stat(path.c_str(), &info) == 0 && info.st_dev == held->device && info.st_ino == held->inode;
}

}  // namespace
}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

InstanceLock AcquireInstanceLock(const std::u16string& lockFile)
{
    const std::string path = ToUtf8(lockFile);
    if (held) return IsHeldFile(path) ? InstanceLock::AlreadyExists : InstanceLock::Failed;
    // Not through a link, and never waiting on whatever else may lie there.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return InstanceLock::Failed;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return InstanceLock::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        return taken ? InstanceLock::AlreadyExists : InstanceLock::Failed;
    }
    // An address left by a holder that was killed leads nowhere.
    [[maybe_unused]] const int cleared = ::ftruncate(fd, 0);
    held = HeldLock{fd, path, info.st_dev, info.st_ino};
    return InstanceLock::Acquired;
}

void ReleaseInstanceLock()
{
    handoff::Stop();
    if (!held) return;
    ::close(held->fd);
    held.reset();
}

bool ListenForHandOffs(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    return held && handoff::Listen(held->fd, held->path, handoff::Target{window, message, wParam, lParam});
}

HandOff HandOffToRunningInstance(const std::u16string& lockFile)
{
    const std::string path = ToUtf8(lockFile);
    // This process is the running instance: a request to itself is served
    // here, as the socket would serve it, without a loop to serve it on.
    if (IsHeldFile(path)) return handoff::DeliverHere() ? HandOff::Queued : HandOff::NotNow;
    return handoff::Request(path) ? HandOff::Queued : HandOff::NotNow;
}

}  // namespace platform
