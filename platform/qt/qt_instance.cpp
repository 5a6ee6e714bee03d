// The single-instance lock: an exclusive flock on the folder that holds the
// lock file the program names (its Data folder, so that the lock belongs to
// the notes, whichever session starts the program), and one on the lock file
// itself, which older copies of the program look at and whose content is the
// hand-off's address. The kernel gives a flock back when its process ends,
// however it ends, so a killed holder leaves no stale lock.
//
// A folder cannot be deleted or replaced while it holds the notes, so its
// lock stays whatever happens to the lock file. The file can go (a cleaner,
// a sync tool that replaces it): the holder notices, makes or takes the file
// at the name again and writes its address there anew, so that later starts
// still find it. The file is never removed by the program: a start that
// opened the old file and one that made a new one would both hold "the"
// file's lock.
//
// The hand-off to the holder is qt_hand_off_*.cpp's; the holder writes its
// socket's address into the lock file.
#include <QCoreApplication>
#include <QFile>
#include <QFileSystemWatcher>
#include <QPointer>

#include <cerrno>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/file_io.h"
#include "platform/qt/qt_hand_off.h"
#include "platform/system.h"
#include "platform/text.h"

namespace platform::qt {
namespace {

struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> IdentityOf(const std::string& path, bool followLink)
{
    struct stat info = {};
    if ((followLink ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) return std::nullopt;
    return Identity{info.st_dev, info.st_ino};
}

struct HeldLock {
    int folderFd = -1;  // -1 where the file system locks no folders
    Identity folder;
    int fd = -1;
    Identity file;
    std::string path;
};
std::optional<HeldLock> held;
// Watches the folder while the lock is held, for the lock file's going.
QPointer<QFileSystemWatcher> watcher;

InstanceLock Lock(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return InstanceLock::Acquired;
    return errno == EWOULDBLOCK ? InstanceLock::AlreadyExists : InstanceLock::Failed;
}

void Close(int fd)
{
    if (fd >= 0) ::close(fd);
}

// Opens (or makes) the lock file, not through a link and never waiting on
// whatever else may lie there, and locks it. The descriptor, or -1 with the
// reason in `result`.
int OpenLockFile(const std::string& path, InstanceLock& result, Identity& identity)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    struct stat info = {};
    result = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? Lock(fd) : InstanceLock::Failed;
    if (result != InstanceLock::Acquired) {
        Close(fd);
        return -1;
    }
    // An address left by a holder that was killed leads nowhere.
    [[maybe_unused]] const int cleared = ::ftruncate(fd, 0);
    identity = Identity{info.st_dev, info.st_ino};
    return fd;
}

// The lock file is no longer the one this process locked (deleted, or
// replaced by another file): the file at the name is locked and holds the
// address again. The folder's lock has kept other starts out meanwhile.
void RetakeLockFile()
{
    if (!held || IdentityOf(held->path, false) == held->file) return;
    InstanceLock result = InstanceLock::Failed;
    Identity file;
    const int fd = OpenLockFile(held->path, result, file);
    if (fd < 0) {
        std::fprintf(stderr, "cevelmo: the lock file %s went and cannot be taken again\n", held->path.c_str());
        return;
    }
    Close(held->fd);
    held->fd = fd;
    held->file = file;
    handoff::MoveAddressTo(fd);
}

void WatchFolder(const std::string& folder)
{
    if (QCoreApplication::instance() == nullptr) return;
    watcher = new QFileSystemWatcher(QCoreApplication::instance());
    QObject::connect(watcher.data(), &QFileSystemWatcher::directoryChanged, [] { RetakeLockFile(); });
    watcher->addPath(QFile::decodeName(folder.c_str()));
}

bool IsHeldFile(const std::string& path)
{
    if (!held) return false;
    const std::optional<Identity> folder = IdentityOf(posix::FolderOf(path), true);
    return folder && *folder == held->folder && posix::NameOf(path) == posix::NameOf(held->path);
}

}  // namespace
}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

InstanceLock AcquireInstanceLock(const std::u16string& lockFile)
{
    const std::string path = ToUtf8(lockFile);
    if (held) return IsHeldFile(path) ? InstanceLock::AlreadyExists : InstanceLock::Failed;
    const std::string folderPath = posix::FolderOf(path);
    int folderFd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat folder = {};
    if (folderFd < 0 || ::fstat(folderFd, &folder) != 0) {
        Close(folderFd);
        return InstanceLock::Failed;
    }
    // The folder's lock first: it is there even when the file is not, and a
    // later start on a folder it cannot write to finds it all the same.
    switch (Lock(folderFd)) {
    case InstanceLock::Acquired: break;
    case InstanceLock::AlreadyExists: ::close(folderFd); return InstanceLock::AlreadyExists;
    case InstanceLock::Failed: ::close(folderFd); folderFd = -1; break;  // the file's lock alone
    }
    InstanceLock result = InstanceLock::Failed;
    Identity file;
    const int fd = OpenLockFile(path, result, file);
    if (fd < 0) {
        // AlreadyExists: an older copy, which knows only the file's lock.
        Close(folderFd);
        return result;
    }
    held = HeldLock{folderFd, Identity{folder.st_dev, folder.st_ino}, fd, file, path};
    WatchFolder(folderPath);
    return InstanceLock::Acquired;
}

void ReleaseInstanceLock()
{
    handoff::Stop();
    delete watcher.data();
    if (!held) return;
    Close(held->fd);
    Close(held->folderFd);
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
