// Files and folders on POSIX: queries, reads, whole-file replacement by
// rename, appends, and the full-disk test seam. Every write(2) of this file
// passes through WriteSome, so the seam reaches both the atomic and the
// appending writer.
#include "platform/files.h"
#include "platform/inspect.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <string_view>

#include "platform/text.h"

namespace platform {
namespace {

// Counts down to the write that must fail; 0 = no failure planned.
int writesUntilFailure = 0;

// Whole-file replacements completed so far, by path.
std::map<std::u16string, int> replacements;

// Writes go out in blocks of at most one page, so a large image takes several
// calls and a full disk can strike in the middle of a file.
constexpr std::size_t kWriteBlock = 4096;

ssize_t WriteSome(int fd, const char* data, std::size_t size)
{
    if (writesUntilFailure > 0 && --writesUntilFailure == 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, std::min(size, kWriteBlock));
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = WriteSome(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string NativePath(const std::u16string& path) { return ToUtf8(path); }

// A temporary file is the target's name + kTempMark + the writer's process
// id, e.g. "CeVlmDat.bin.tmp4242".
constexpr std::string_view kTempMark = ".tmp";

bool IsLeftoverTempName(std::string_view name)
{
    const std::size_t mark = name.rfind(kTempMark);
    if (mark == std::string_view::npos || mark == 0) return false;
    const std::string_view digits = name.substr(mark + kTempMark.size());
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes the rename itself durable. Some file systems cannot sync a folder;
// the new content is already in place then, so this is best effort.
void SyncFolderOf(const std::string& path)
{
    int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Opens a fresh temporary file beside the target. A leftover of a crashed
// run with the same process id is ours to replace.
int CreateTempFile(const std::string& temp)
{
    int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int fd = ::open(temp.c_str(), flags, 0666);
    if (fd < 0 && errno == EEXIST && ::unlink(temp.c_str()) == 0) {
        fd = ::open(temp.c_str(), flags, 0666);
    }
    return fd;
}

}  // namespace

PathKind QueryPath(const std::u16string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(NativePath(path).c_str(), &info) != 0) return PathKind::Missing;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

bool CreateFolder(const std::u16string& path)
{
    return !path.empty() && ::mkdir(NativePath(path).c_str(), 0777) == 0;
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

std::optional<std::string> ReadWholeFile(const std::u16string& path)
{
    if (path.empty()) return std::nullopt;
    int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    char block[kWriteBlock];
    for (;;) {
        ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;  // a folder lands here too (EISDIR)
        }
        if (n == 0) break;
        bytes.append(block, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::optional<std::uint64_t> FileSize(const std::u16string& path)
{
    if (path.empty()) return std::nullopt;
    int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    ::close(fd);
    if (!ok) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool WriteFileAtomically(const std::u16string& path, const std::string& bytes)
{
    if (path.empty()) return false;
    const std::string target = NativePath(path);
    const std::string temp = target + std::string(kTempMark) + std::to_string(::getpid());
    int fd = CreateTempFile(temp);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolderOf(target);
    ++replacements[path];
    return true;
}

int RemoveLeftoverTempFiles(const std::u16string& folder)
{
    int removed = 0;
    for (const std::u16string& name : ListFolderFiles(folder)) {
        std::u16string path = folder;
        path += u'/';
        path += name;
        if (IsLeftoverTempName(ToUtf8(name)) && DeleteFileAt(path)) ++removed;
    }
    return removed;
}

bool AppendToFile(const std::u16string& path, const std::string& bytes)
{
    if (path.empty()) return false;
    int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    return (::close(fd) == 0) && ok;
}

void FailNthFileWrite(int n) { writesUntilFailure = n > 0 ? n : 0; }

int CompletedReplacements(const std::u16string& path)
{
    auto found = replacements.find(path);
    return found == replacements.end() ? 0 : found->second;
}

}  // namespace platform
