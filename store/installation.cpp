// Installed and unpacked copies: the install record and where each kind of
// copy keeps its files.
#include "store/installation.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/files.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "store/paths.h"
#include "store/records.h"

bool installedCopy = false;

namespace {

constexpr char16_t kRecordName[] = u"install-record";
constexpr char16_t kUserFolderName[] = u"cevelmo";
constexpr char16_t kUnpackedIconName[] = u"CeVelmo.svg";
// The path from the folder of the installed program to the installation's
// own folder, as the build's install rules lay them out ("../share/cevelmo").
constexpr std::string_view kFromProgramFolder = CEVELMO_SHARE_FROM_BIN;

struct InstallRecord {
    std::optional<std::int64_t> installed;  // "Instl"
    std::optional<std::u16string> folder;   // "InstlDir"
};

// One "name=value" per line; other lines (comments, blank lines) say
// nothing. A CR before the line's end is no part of the value.
InstallRecord ParseInstallRecord(std::string_view text)
{
    InstallRecord record;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (name == "Instl") {
            std::int64_t number = 0;
            const auto [at, error] = std::from_chars(value.data(), value.data() + value.size(), number);
            if (error == std::errc{} && at == value.data() + value.size()) record.installed = number;
        } else if (name == "InstlDir" && !value.empty()) {
            record.folder = platform::FromUtf8(value);
        }
    }
    return record;
}

bool IsSameFolder(const std::u16string& a, const std::u16string& b)
{
    if (a == b) return true;
    const std::optional<std::u16string> realA = platform::RealPath(a);
    return realA && realA == platform::RealPath(b);
}

}  // namespace

std::u16string ComponentId() { return platform::FromUtf8(CEVELMO_ID); }

std::optional<std::u16string> InstallationFolder(const std::u16string& programFolder)
{
    std::u16string folder = programFolder;
    std::string_view rest = kFromProgramFolder;
    // Each "../" climbs one folder; what follows goes below the folder reached.
    while (rest.substr(0, 3) == "../") {
        const std::optional<std::size_t> slash = FindLastChar(folder, kPathSeparator);
        if (!slash) return std::nullopt;
        folder.resize(*slash);
        rest.remove_prefix(3);
    }
    return folder + kPathSeparator + platform::FromUtf8(rest);
}

bool IsInstalled(const std::u16string& programFolder)
{
    const std::optional<std::u16string> installation = InstallationFolder(programFolder);
    std::u16string recordPath;
    if (!installation || !JoinPath(recordPath, *installation, kRecordName)) return false;
    const std::optional<std::string> text = platform::ReadWholeFile(recordPath);
    if (!text) return false;
    const InstallRecord record = ParseInstallRecord(*text);
    return record.installed.value_or(0) != 0 && record.folder && IsSameFolder(*record.folder, programFolder);
}

std::optional<std::u16string> UserDataFolder()
{
    const std::optional<std::u16string> base = platform::GetSpecialFolderPath(platform::csidl::LocalAppData);
    std::u16string folder;
    if (!base || !JoinPath(folder, *base, kUserFolderName)) return std::nullopt;
    return folder;
}

std::u16string ProgramIconPath()
{
    const std::optional<std::size_t> slash = FindLastChar(modulePath, kPathSeparator);
    if (!slash) return {};
    const std::u16string programFolder = modulePath.substr(0, *slash);
    std::u16string icon;
    if (!installedCopy) {
        JoinPath(icon, programFolder, kUnpackedIconName);
        return icon;
    }
    // The installation's own folder lies beside the icon theme's:
    // <prefix>/share/cevelmo and <prefix>/share/icons.
    const std::optional<std::u16string> installation = InstallationFolder(programFolder);
    const std::optional<std::size_t> up = installation ? FindLastChar(*installation, kPathSeparator) : std::nullopt;
    if (up) JoinPath(icon, installation->substr(0, *up), u"icons/hicolor/scalable/apps/" + ComponentId() + u".svg");
    return icon;
}
