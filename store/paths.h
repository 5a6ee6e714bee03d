// Path helpers of the store. '/' is the separator on this platform.
#pragma once

#include <optional>
#include <string>

inline constexpr char16_t kPathSeparator = u'/';

// Position of the last occurrence of ch in text, or nullopt.
std::optional<std::size_t> FindLastChar(const std::u16string& text, char16_t ch);

// folder + "/" + name, without a second separator when the folder ends in
// one. False (output untouched) when the folder or name is empty or the
// result would not fit a global path buffer.
bool JoinPath(std::u16string& out, const std::u16string& folder, const std::u16string& name);

bool IsExistingFile(const std::u16string& path);
bool IsExistingFolder(const std::u16string& path);

// Sets modulePath, appFolder, dataFolder and helpPath from the program file's
// path, for an installed or an unpacked copy (store/installation.h). False
// when a path does not fit the global path buffers, or an installed copy has
// no user data folder.
bool InitPaths(const std::u16string& programPath);
