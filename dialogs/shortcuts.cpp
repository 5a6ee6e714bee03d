// Launchers of the program. A launcher's target is the quoted program path,
// so a launcher found in a folder and one this file makes compare alike.
#include "dialogs/shortcuts.h"

#include "platform/files.h"
#include "platform/shell.h"
#include "store/installation.h"
#include "store/paths.h"
#include "store/records.h"

namespace {

constexpr char16_t kLauncherName[] = u"CeVelmo";

}  // namespace

std::optional<std::u16string> QuotePath(const std::u16string& path)
{
    if (path.empty()) return std::nullopt;
    return u"\"" + path + u"\"";
}

std::optional<std::u16string> FindShortcut(const std::u16string& target, int folderId)
{
    const std::optional<std::u16string> quoted = QuotePath(target);
    if (!IsExistingFile(target) || !quoted) return std::nullopt;
    const std::optional<std::u16string> folder = platform::GetSpecialFolderPath(folderId);
    if (!folder) return std::nullopt;
    for (const std::u16string& name : platform::ListFolderFiles(*folder)) {
        std::u16string path;
        if (!JoinPath(path, *folder, name)) continue;
        if (platform::ReadShortcutTarget(path) == quoted) return path;
    }
    return std::nullopt;
}

// The new launcher replaces an old one of the same name whole, so a failed
// write leaves the old one as it was.
bool CreateShortcut(const std::u16string& target, int folderId)
{
    const std::optional<std::u16string> quoted = QuotePath(target);
    if (!IsExistingFile(target) || !quoted) return false;
    const std::optional<std::u16string> folder = platform::GetSpecialFolderPath(folderId);
    std::u16string path;
    if (!folder || !JoinPath(path, *folder, kShortcutFileName)) return false;
    // The start-up folder is made only now, with the first launcher in it.
    if (folderId == platform::csidl::Startup && !platform::CreateUserFolder(*folder)) return false;
    return platform::CreateShortcutFile(path, platform::ShortcutFile{*quoted, kLauncherName, ProgramIconPath()});
}
