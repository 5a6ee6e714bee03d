// Whole-file replacement on POSIX. The bytes go to a temporary file beside
// the file they replace, are flushed to the disk, and the temporary file is
// renamed over the old one: a crash, a kill or a full disk at any moment
// leaves the old file or the new one, never a mix.
//
// Replacing must not undo what the user set on the file: a symbolic link is
// followed to the file it leads to, which is replaced in its own folder (the
// rename cannot cross file systems, and the link must stay a link), and the
// new file takes the old one's permission bits and owner. Only a regular
// file is replaced: renaming over a FIFO or a device would take it away.
//
// A process killed between creating and renaming its temporary file leaves
// that file behind, beside the file it was to replace (beside a link's
// target, then). Its name has a pattern of its own, so that the program can
// remove such leftovers at start-up without touching anything else, and one
// that file sync engines skip, so that a half-written file never travels to
// another computer.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <random>
#include <string_view>

#include "platform/files.h"
#include "platform/posix/file_io.h"

namespace platform {
namespace {

using posix::FolderOf;
using posix::NameOf;
using posix::NativePath;

// A temporary file is "~" + the target's name (its first kNameStem bytes) +
// kTempMark + kRandomChars letters or digits + ".tmp", e.g.
// "~CeVlmDat.bin.cevelmo-save-x3Fq9Z.tmp": file sync engines leave names of
// the form "~*.tmp" alone by default. The mark is what the clean-up looks
// for. Older copies of the program wrote "." + the name + the mark + the
// letters, without ".tmp"; the clean-up removes those too.
struct TempForm {
    std::string_view lead, tail;
};
constexpr TempForm kTempForm{"~", ".tmp"};
constexpr TempForm kOlderTempForm{".", ""};
constexpr std::string_view kTempMark = ".cevelmo-save-";
constexpr std::size_t kRandomChars = 6;
// Leaves room for the rest under the usual limit of 255 bytes for a name.
constexpr std::size_t kNameStem = 200;
constexpr int kMaxLinkHops = 40;  // the kernel's own limit when it follows links
constexpr int kTempNameTries = 20;
constexpr std::string_view kRandomAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string RandomChars()
{
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kRandomAlphabet.size() - 1);
    std::string chars;
    for (std::size_t i = 0; i < kRandomChars; ++i) chars += kRandomAlphabet[pick(generator)];
    return chars;
}

std::string TempPathFor(const std::string& target)
{
    return FolderOf(target) + "/" + std::string(kTempForm.lead) + NameOf(target).substr(0, kNameStem) +
           std::string(kTempMark) + RandomChars() + std::string(kTempForm.tail);
}

// The target's name (as far as the temporary name holds it) when the name
// is one of a temporary file of the form; nullopt for any other name.
std::optional<std::string_view> TempTargetOf(std::string_view name, const TempForm& form)
{
    if (!name.starts_with(form.lead) || !name.ends_with(form.tail)) return std::nullopt;
    name = name.substr(form.lead.size(), name.size() - form.lead.size() - form.tail.size());
    // At least one byte of the target's name, the mark, the letters.
    if (name.size() <= kTempMark.size() + kRandomChars) return std::nullopt;
    const std::string_view chars = name.substr(name.size() - kRandomChars);
    name.remove_suffix(kRandomChars);
    if (!name.ends_with(kTempMark) || chars.find_first_not_of(kRandomAlphabet) != std::string_view::npos)
        return std::nullopt;
    name.remove_suffix(kTempMark.size());
    return name;
}

// The same for a temporary file of this writer's or of an older copy's.
std::optional<std::string_view> TempTargetOf(std::string_view name)
{
    const std::optional<std::string_view> target = TempTargetOf(name, kTempForm);
    return target ? target : TempTargetOf(name, kOlderTempForm);
}

bool IsLeftoverTempName(std::string_view name) { return TempTargetOf(name).has_value(); }

std::optional<std::string> ReadLink(const std::string& path)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) return std::nullopt;
    return std::string(target, static_cast<std::size_t>(n));
}

// The file the path leads to through any symbolic links; the path itself
// when it is no link or names nothing yet. nullopt for a loop of links or a
// link that cannot be read.
std::optional<std::string> FollowLinks(std::string path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT ? std::optional(path) : std::nullopt;
        if (!S_ISLNK(info.st_mode)) return path;
        std::optional<std::string> target = ReadLink(path);
        if (!target) return std::nullopt;
        path = (*target)[0] == '/' ? *target : FolderOf(path) + "/" + *target;
    }
    return std::nullopt;
}

// Creates the temporary file with the usual mode for new files (0666 less
// the umask).
int CreateTempFile(const std::string& target, std::string& temp)
{
    for (int i = 0; i < kTempNameTries; ++i) {
        temp = TempPathFor(target);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the new file the old one's owner (where the system lets us; a file
// that only its group could write to keeps our ownership) and its
// permission bits (always: a private file must not become readable). A file
// that takes the place of another under a new name takes the model's.
bool KeepAttributes(int fd, const std::string& target, const std::string& model)
{
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        if (errno != ENOENT) return false;
        if (model.empty() || ::stat(model.c_str(), &old) != 0) return true;  // the usual mode for new files
    }
    struct stat made {};
    if (::fstat(fd, &made) != 0) return false;
    if (old.st_uid != made.st_uid || old.st_gid != made.st_gid) (void)!::fchown(fd, old.st_uid, old.st_gid);
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

bool WriteTemp(int fd, const std::string& target, const std::string& model, const std::string& bytes)
{
    const bool ok = KeepAttributes(fd, target, model) && posix::WriteAll(fd, bytes);
    return (::close(fd) == 0) && ok;
}

// Flushes the staged file: fsync(2) flushes the file's data whatever
// descriptor it is called on, so the file is opened again here.
bool FlushFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    return (::close(fd) == 0) && ok;
}

// Only a regular file, or a name that holds nothing yet, is replaced.
bool IsReplaceable(const std::string& target)
{
    struct stat info {};
    return ::lstat(target.c_str(), &info) == 0 ? S_ISREG(info.st_mode) : errno == ENOENT;
}

}  // namespace

bool WriteFileAtomically(const std::u16string& path, const std::string& bytes)
{
    return WriteFileAtomically(path, bytes, u"");
}

bool WriteFileAtomically(const std::u16string& path, const std::string& bytes, const std::u16string& modelFile)
{
    const std::optional<StagedFile> staged = StageFileReplacement(path, bytes, modelFile);
    if (!staged) return false;
    if (!CommitStagedFile(*staged)) {
        DiscardStagedFile(*staged);
        return false;
    }
    FlushFolderOf(*staged);
    return true;
}

std::optional<StagedFile> StageFileReplacement(const std::u16string& path, const std::string& bytes,
                                               const std::u16string& modelFile)
{
    if (path.empty()) return std::nullopt;
    const std::optional<std::string> target = FollowLinks(NativePath(path));
    if (!target || !IsReplaceable(*target)) return std::nullopt;
    StagedFile staged{path, {}, *target};
    const int fd = CreateTempFile(*target, staged.temp);
    if (fd < 0) return std::nullopt;
    if (!WriteTemp(fd, *target, NativePath(modelFile), bytes)) {
        DiscardStagedFile(staged);
        return std::nullopt;
    }
    return staged;
}

bool CommitStagedFile(const StagedFile& file)
{
    if (!FlushFile(file.temp) || ::rename(file.temp.c_str(), file.target.c_str()) != 0) return false;
    if (posix::replacedCall) posix::replacedCall(file.path);
    return true;
}

void DiscardStagedFile(const StagedFile& file) { ::unlink(file.temp.c_str()); }

void FlushFolderOf(const StagedFile& file) { posix::SyncFolder(FolderOf(file.target)); }

namespace {

// Removes the leftovers in the folder whose names `isLeftover` accepts.
template <typename Accepts>
int RemoveLeftoversIn(const std::string& folder, Accepts isLeftover)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        if (!isLeftover(std::string_view(entry->d_name)) ||
            ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace

int RemoveLeftoverTempFiles(const std::u16string& folder)
{
    return folder.empty() ? 0 : RemoveLeftoversIn(NativePath(folder), IsLeftoverTempName);
}

int RemoveLeftoverTempFilesOf(const std::u16string& file)
{
    struct stat info {};
    const std::string path = NativePath(file);
    if (path.empty() || ::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
    const std::optional<std::string> target = FollowLinks(path);
    if (!target) return 0;
    // The writer's patterns for this very target.
    const std::string stem = NameOf(*target).substr(0, kNameStem);
    return RemoveLeftoversIn(FolderOf(*target), [&stem](std::string_view name) { return TempTargetOf(name) == stem; });
}

}  // namespace platform
