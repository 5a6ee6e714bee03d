// Path helpers of the store and the start-up setting of the four global
// paths. A path that would not fit a global path buffer is refused, never cut.
#include "store/paths.h"

#include "platform/files.h"
#include "store/installation.h"
#include "store/records.h"

namespace {

bool FitsPathBuffer(const std::u16string& path)
{
    return path.size() < static_cast<std::size_t>(kPathUnits);
}

}  // namespace

std::optional<std::size_t> FindLastChar(const std::u16string& text, char16_t ch)
{
    std::size_t at = text.rfind(ch);
    if (at == std::u16string::npos) return std::nullopt;
    return at;
}

bool JoinPath(std::u16string& out, const std::u16string& folder, const std::u16string& name)
{
    if (folder.empty() || name.empty()) return false;
    std::u16string joined = folder;
    if (joined.back() != kPathSeparator) joined += kPathSeparator;
    joined += name;
    if (!FitsPathBuffer(joined)) return false;
    out = std::move(joined);
    return true;
}

bool IsExistingFile(const std::u16string& path)
{
    return !path.empty() && platform::QueryPath(path) == platform::PathKind::File;
}

bool IsExistingFolder(const std::u16string& path)
{
    return !path.empty() && platform::QueryPath(path) == platform::PathKind::Folder;
}

bool InitPaths(const std::u16string& programPath)
{
    if (programPath.empty()) return false;
    std::u16string programFolder = programPath;
    if (auto slash = FindLastChar(programFolder, kPathSeparator)) programFolder.resize(*slash);
    const bool installed = IsInstalled(programFolder);
    // An installed copy keeps its data in the user's data folder and reads
    // the installation's help page; an unpacked one keeps both beside the
    // program file.
    std::u16string folder = programFolder;
    std::u16string helpFolder = programFolder;
    if (installed) {
        const std::optional<std::u16string> userFolder = UserDataFolder();
        const std::optional<std::u16string> installation = InstallationFolder(programFolder);
        if (!userFolder || !installation) return false;
        folder = *userFolder;
        helpFolder = *installation;
    }
    // Built by hand rather than with JoinPath: a program in the root folder
    // has an empty appFolder and still gets "/Data".
    std::u16string data = folder + kPathSeparator + u"Data";
    std::u16string help = helpFolder + kPathSeparator + u"CeVelmo.htm";
    if (!FitsPathBuffer(programPath) || !FitsPathBuffer(data) || !FitsPathBuffer(help)) return false;
    modulePath = programPath;
    appFolder = std::move(folder);
    dataFolder = std::move(data);
    helpPath = std::move(help);
    installedCopy = installed;
    return true;
}
