// Folders on POSIX: making the user's own folders with their parents,
// removing a folder only when it is empty, and a path's real form.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/files.h"
#include "platform/text.h"

namespace platform {
namespace {

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder that exists already, or that another start made meanwhile, is
// taken as it is; so is one above the user's reach (/home). A failure keeps
// mkdir's reason.
bool MakeFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) == 0) return true;
    const int reason = errno;
    const bool folder = IsFolder(path);
    errno = reason;
    return folder;
}

}  // namespace

bool CreateUserFolder(const std::u16string& path)
{
    const std::string native = ToUtf8(path);
    if (native.empty()) return false;
    for (std::size_t slash = native.find('/', 1); slash != std::string::npos; slash = native.find('/', slash + 1))
        if (!MakeFolder(native.substr(0, slash))) return false;
    return MakeFolder(native);
}

bool RemoveEmptyFolder(const std::u16string& path)
{
    // rmdir removes only an empty folder, and never follows a link.
    return !path.empty() && ::rmdir(ToUtf8(path).c_str()) == 0;
}

std::optional<std::u16string> RealPath(const std::u16string& path)
{
    if (path.empty()) return std::nullopt;
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(ToUtf8(path).c_str(), nullptr), &std::free);
    if (!real) return std::nullopt;
    return FromUtf8(real.get());
}

}  // namespace platform
