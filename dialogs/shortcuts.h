// The program's launchers in the desktop's special folders: found by what
// they start, whatever their names, and made under one name of their own.
#pragma once

#include <optional>
#include <string>

// The name of the launcher file the program makes.
inline constexpr char16_t kShortcutFileName[] = u"CeVelmo.desktop";

// The path in double quotes, as a launcher names the program it starts;
// nullopt for an empty path.
std::optional<std::u16string> QuotePath(const std::u16string& path);

// The full path of a launcher in the special folder (platform::csidl) that
// starts `target`, under any name; nullopt when there is none, the target is
// no file or the folder cannot be named.
std::optional<std::u16string> FindShortcut(const std::u16string& target, int folderId);

// Makes (or makes anew) the program's launcher in the special folder,
// starting `target`; false when it cannot.
bool CreateShortcut(const std::u16string& target, int folderId);
