// Conflict copies by name (store/sync_conflicts.h).
#include "store/sync_conflicts.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/files.h"
#include "store/text_files.h"

namespace {

constexpr std::u16string_view kSyncMark = u".sync-conflict-";
constexpr std::u16string_view kCopyMark = u"conflicted copy";

bool Digits(std::u16string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// NAME.sync-conflict-YYYYMMDD-HHMMSS-DEVICE.EXT: the device and the time.
std::optional<ConflictCopy> ParseSyncMark(const std::u16string& name)
{
    const std::size_t mark = name.find(kSyncMark);
    if (mark == std::u16string::npos || mark == 0) return std::nullopt;
    const std::u16string_view rest = std::u16string_view(name).substr(mark + kSyncMark.size());
    if (rest.size() < 17 || !Digits(rest.substr(0, 8)) || rest[8] != u'-' || !Digits(rest.substr(9, 6)) ||
        rest[15] != u'-')
        return std::nullopt;
    const std::u16string_view tail = rest.substr(16);
    const std::size_t dot = tail.find(u'.');
    const std::u16string_view device = tail.substr(0, dot);
    if (device.empty()) return std::nullopt;
    const std::u16string_view extension = dot == std::u16string_view::npos ? u"" : tail.substr(dot);
    const std::u16string_view d = rest;
    std::u16string source(device);
    source += u" ";
    source.append(d.substr(0, 4)).append(u"/").append(d.substr(4, 2)).append(u"/").append(d.substr(6, 2));
    source.append(u" ").append(d.substr(9, 2)).append(u":").append(d.substr(11, 2)).append(u":").append(d.substr(13, 2));
    return ConflictCopy{name, name.substr(0, mark) + std::u16string(extension), std::move(source)};
}

// NAME (... conflicted copy ...).EXT: what the parentheses say.
std::optional<ConflictCopy> ParseCopyMark(const std::u16string& name)
{
    const std::size_t mark = name.rfind(kCopyMark);
    if (mark == std::u16string::npos) return std::nullopt;
    const std::size_t open = name.rfind(u" (", mark);
    const std::size_t close = name.find(u')', mark);
    if (open == std::u16string::npos || open == 0 || close == std::u16string::npos) return std::nullopt;
    std::u16string original = name.substr(0, open) + name.substr(close + 1);
    return ConflictCopy{name, std::move(original), name.substr(open + 2, close - open - 2)};
}

bool IsOwnFileName(const std::u16string& name)
{
    return name == u"CeVlmDat.bin" || name == u"VlmLog.txt" || IsNoteFileName(name);
}

}  // namespace

std::optional<ConflictCopy> ParseConflictName(const std::u16string& name)
{
    std::optional<ConflictCopy> copy = ParseSyncMark(name);
    return copy ? copy : ParseCopyMark(name);
}

std::u16string ConflictCopyName(std::u16string_view original, const platform::LocalTime& time,
                                std::u16string_view source)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    const std::size_t dot = original.rfind(u'.');
    std::u16string name(original.substr(0, dot));
    name += kSyncMark;
    for (const char* c = stamp; *c != 0; ++c) name.push_back(static_cast<char16_t>(*c));
    name += source;
    if (dot != std::u16string_view::npos) name += original.substr(dot);
    return name;
}

std::vector<ConflictCopy> FindConflictCopies(const std::u16string& folder)
{
    std::vector<ConflictCopy> copies;
    for (const std::u16string& name : platform::ListFolderFiles(folder)) {
        std::optional<ConflictCopy> copy = ParseConflictName(name);
        if (copy && IsOwnFileName(copy->original)) copies.push_back(std::move(*copy));
    }
    return copies;
}
