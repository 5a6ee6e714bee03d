// The conflict copies that file sync engines leave beside a file that two
// computers changed at once, recognised by their names:
//
//   NAME.sync-conflict-YYYYMMDD-HHMMSS-DEVICE.EXT       (one engine)
//   NAME (conflicted copy YYYY-MM-DD HHMMSS).EXT        (another, and its kin)
//   NAME (DEVICE's conflicted copy YYYY-MM-DD).EXT      (and the like)
//
// The program takes in what a copy holds and then removes it, so that the
// engine does not bring it back: a copy of the data file is merged into the
// notes, a copy of a note's text becomes a note of its own unless a note
// holds that text, a copy of the deletion log is appended to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"

struct ConflictCopy {
    std::u16string name;      // the copy's own name
    std::u16string original;  // the name of the file it is a copy of
    std::u16string source;    // which computer and when, as far as the name tells
};

std::optional<ConflictCopy> ParseConflictName(const std::u16string& name);

// The name of a conflict copy of `original` in the first form above, made
// at `time` and coming from `source`: the program's own, for a file from
// elsewhere that a save of ours would otherwise have replaced unread.
std::u16string ConflictCopyName(std::u16string_view original, const platform::LocalTime& time,
                                std::u16string_view source);

// The conflict copies among the folder's files whose original is one of
// the program's: the data file, a note file or the deletion log.
std::vector<ConflictCopy> FindConflictCopies(const std::u16string& folder);
