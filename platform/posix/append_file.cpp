// Appending to a file on POSIX, all or nothing. The deletion log is the one
// file the program appends to, and an entry cut short by a full disk would
// read as a damaged copy of a note: so the file's old length is taken first
// and, when any write of the entry fails, the file is cut back to it (or
// removed again when this append created it).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/posix/file_io.h"

namespace platform {
namespace {

// Opens the file for writing; `created` tells whether this call made it.
int OpenForAppend(const std::string& path, bool& created)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created = fd >= 0;
    if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    return fd;
}

}  // namespace

bool AppendToFile(const std::u16string& path, const std::string& bytes)
{
    if (path.empty()) return false;
    const std::string native = posix::NativePath(path);
    bool created = false;
    const int fd = OpenForAppend(native, created);
    if (fd < 0) return false;
    const off_t oldEnd = ::lseek(fd, 0, SEEK_END);
    bool ok = oldEnd >= 0 && posix::WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!ok && oldEnd >= 0 && !created) {
        (void)!::ftruncate(fd, oldEnd);
        ::fsync(fd);
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok && created) ::unlink(native.c_str());
    if (created) posix::SyncFolder(posix::FolderOf(native));
    return ok;
}

}  // namespace platform
