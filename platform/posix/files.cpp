// Files and folders on POSIX: queries, reads, deletion, folders, and the one
// write path. Whole-file replacement is in replace_file.cpp, appending in
// append_file.cpp; both write through WriteAll here, so a test library that
// replaces the write (file_io.h) reaches every writer.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/posix/file_io.h"
#include "platform/text.h"

namespace platform::posix {
namespace {

constexpr std::size_t kWriteBlock = 4096;

}  // namespace

WriteCall writeCall = ::write;
ReplacedCall replacedCall = nullptr;

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = writeCall(fd, bytes.data() + done, std::min(bytes.size() - done, kWriteBlock));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string NativePath(const std::u16string& path) { return ToUtf8(path); }

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace platform::posix

namespace platform {

using posix::NativePath;

PathKind QueryPath(const std::u16string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(NativePath(path).c_str(), &info) != 0) return PathKind::Missing;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

bool IsNameTaken(const std::u16string& path)
{
    struct stat info {};
    if (path.empty()) return false;
    // Anything but a plain "no such entry" counts as taken: a name we cannot
    // even look at is no name to write to.
    return ::lstat(NativePath(path).c_str(), &info) == 0 || errno != ENOENT;
}

bool CreateFolder(const std::u16string& path)
{
    return !path.empty() && ::mkdir(NativePath(path).c_str(), 0777) == 0;
}

std::u16string LastFileErrorText()
{
    char buffer[256] = {};
    // The GNU strerror_r: the text may lie in the buffer or elsewhere.
    return FromUtf8(::strerror_r(errno, buffer, sizeof buffer));
}

std::vector<std::u16string> ListFolderFiles(const std::u16string& folder)
{
    std::vector<std::u16string> names;
    DIR* dir = folder.empty() ? nullptr : ::opendir(NativePath(folder).c_str());
    if (dir == nullptr) return names;
    const std::string base = NativePath(folder) + "/";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info {};
        // A link counts as what it leads to.
        if (::stat((base + name).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
        names.push_back(FromUtf8(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool DeleteFileAt(const std::u16string& path)
{
    return !path.empty() && ::unlink(NativePath(path).c_str()) == 0;
}

bool LinkFileAs(const std::u16string& path, const std::u16string& secondName)
{
    return !path.empty() && !secondName.empty() &&
           ::linkat(AT_FDCWD, NativePath(path).c_str(), AT_FDCWD, NativePath(secondName).c_str(), AT_SYMLINK_FOLLOW) == 0;
}

namespace {

// Opens a file to read without ever waiting on it (a FIFO with no writer, a
// device) and only when it is a regular file; anything else is no file to
// read, and says so on standard error. The file's size in `size`.
int OpenRegularFile(const std::string& path, std::uint64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        size = static_cast<std::uint64_t>(info.st_size);
        return fd;
    }
    if (!S_ISDIR(info.st_mode)) std::fprintf(stderr, "cevelmo: %s is not a regular file; not read\n", path.c_str());
    ::close(fd);
    return -1;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::u16string& path)
{
    std::uint64_t size = 0;
    const int fd = path.empty() ? -1 : OpenRegularFile(NativePath(path), size);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    bool whole = size <= kLargestReadableFile;
    bool failed = false;
    char block[4096];
    // A file that grows past the limit while it is read is no more read than
    // one that was too large from the start.
    while (whole) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        failed = n < 0;
        if (n <= 0) break;
        bytes.append(block, static_cast<std::size_t>(n));
        whole = bytes.size() <= kLargestReadableFile;
    }
    ::close(fd);
    if (!whole)
        std::fprintf(stderr, "cevelmo: %s is larger than %llu bytes; not read\n", NativePath(path).c_str(),
                     static_cast<unsigned long long>(kLargestReadableFile));
    if (!whole || failed) return std::nullopt;
    return bytes;
}

std::optional<std::uint64_t> FileSize(const std::u16string& path)
{
    std::uint64_t size = 0;
    const int fd = path.empty() ? -1 : OpenRegularFile(NativePath(path), size);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    return size;
}

namespace {

std::optional<FileStamp> StampAt(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::uint64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileStamp> StampOfFile(const std::u16string& path) { return StampAt(posix::NativePath(path)); }

std::optional<FileStamp> StampOfStagedFile(const StagedFile& file) { return StampAt(file.temp); }

}  // namespace platform
