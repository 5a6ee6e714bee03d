// Launchers as desktop entries (the freedesktop.org format that desktops and
// autostart runners read): writing one that starts a target, and reading
// back what an entry starts. Both backends share this file, so a launcher
// the sim writes is the same text the desktop reads.
//
// A target is a command line whose arguments stand in double quotes, as
// the program quotes its own path. In the entry's Exec value each argument
// is quoted again by the entry's own rules ('"', '`', '$' and '\' escaped
// inside the quotes, '%' doubled), and the value as a whole is escaped as
// every string of an entry is ('\' doubled; line breaks and tabs as \n, \r,
// \t). Reading undoes both and quotes each argument again, so an entry that
// starts the program names it the same way whether this file wrote it, or a
// user did without quotes.
#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";
constexpr std::string_view kExtension = ".desktop";
// A launcher is a few lines; anything longer is some other kind of file.
constexpr std::uint64_t kLargestEntry = 64 * 1024;

// The arguments of a target: text in double quotes is one argument whatever
// it holds; otherwise the whole text is one.
std::vector<std::string> TargetArguments(const std::u16string& target)
{
    const std::string text = ToUtf8(target);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return {text.substr(1, text.size() - 2)};
    return {text};
}

std::string QuoteArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';  // a literal percent sign is not a field code
        quoted += c;
    }
    return quoted + "\"";
}

// The escapes every string value of an entry takes.
std::string EscapeValue(const std::string& value)
{
    std::string out;
    for (const char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UnescapeValue(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: out += value[i];  // "\\" and any other escaped character
        }
    }
    return out;
}

// Splits an Exec value into its arguments; nullopt for an unterminated quote.
std::optional<std::vector<std::string>> SplitCommand(std::string_view command)
{
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (i < command.size()) {
        if (command[i] == ' ' || command[i] == '\t') {
            ++i;
            continue;
        }
        std::string argument;
        bool quoted = false;
        for (; i < command.size() && (quoted || (command[i] != ' ' && command[i] != '\t')); ++i) {
            const char c = command[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i + 1 < command.size()) {
                argument += command[++i];
            } else if (c == '%' && i + 1 < command.size() && command[i + 1] == '%') {
                argument += command[++i];
            } else {
                argument += c;
            }
        }
        if (quoted) return std::nullopt;
        arguments.push_back(argument);
    }
    return arguments;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The value of a key of the [Desktop Entry] group, unescaped; nullopt when
// the entry does not have it.
std::optional<std::string> EntryValue(std::string_view entry, std::string_view key)
{
    bool inGroup = false;
    while (!entry.empty()) {
        const std::size_t end = entry.find('\n');
        const std::string_view line = Trim(entry.substr(0, end));
        entry = end == std::string_view::npos ? std::string_view() : entry.substr(end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = line == kGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string_view::npos && Trim(line.substr(0, equals)) == key)
            return UnescapeValue(Trim(line.substr(equals + 1)));
    }
    return std::nullopt;
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Executable wherever it is readable, as a launcher must be for desktops
// that start only the entries they trust.
bool MarkExecutable(const std::u16string& path)
{
    const std::string native = ToUtf8(path);
    struct stat info {};
    if (::stat(native.c_str(), &info) != 0) return false;
    const mode_t mode = info.st_mode & 07777;
    return ::chmod(native.c_str(), mode | ((mode & 0444) >> 2)) == 0;
}

}  // namespace

bool CreateShortcutFile(const std::u16string& path, const ShortcutFile& shortcut)
{
    std::string command;
    for (const std::string& argument : TargetArguments(shortcut.target))
        command += (command.empty() ? "" : " ") + QuoteArgument(argument);
    std::string entry = std::string(kGroup) + "\n";
    entry += "Type=Application\n";
    entry += "Version=1.0\n";  // all it uses is in the first version of the format
    entry += "Name=" + EscapeValue(ToUtf8(shortcut.name)) + "\n";
    if (!shortcut.icon.empty()) entry += "Icon=" + EscapeValue(ToUtf8(shortcut.icon)) + "\n";
    entry += "Exec=" + EscapeValue(command) + "\n";
    entry += "Terminal=false\n";
    return WriteFileAtomically(path, entry) && MarkExecutable(path);
}

std::optional<std::u16string> ReadShortcutTarget(const std::u16string& path)
{
    const std::optional<std::uint64_t> size = FileSize(path);
    if (!EndsWith(ToUtf8(path), kExtension) || !size || *size > kLargestEntry) return std::nullopt;
    const std::optional<std::string> entry = ReadWholeFile(path);
    if (!entry || EntryValue(*entry, "Type") != "Application" || EntryValue(*entry, "Hidden") == "true")
        return std::nullopt;
    const std::optional<std::string> exec = EntryValue(*entry, "Exec");
    const std::optional<std::vector<std::string>> arguments = exec ? SplitCommand(*exec) : std::nullopt;
    if (!arguments || arguments->empty()) return std::nullopt;
    std::string target;
    for (const std::string& argument : *arguments) target += (target.empty() ? "\"" : " \"") + argument + "\"";
    return FromUtf8(target);
}

}  // namespace platform
