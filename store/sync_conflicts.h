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
#include <vector>

struct ConflictCopy {
    std::u16string name;      // the copy's own name
    std::u16string original;  // the name of the file it is a copy of
    std::u16string source;    // which computer and when, as far as the name tells
};

std::optional<ConflictCopy> ParseConflictName(const std::u16string& name);

// The conflict copies among the folder's files whose original is one of
// the program's: the data file, a note file or the deletion log.
std::vector<ConflictCopy> FindConflictCopies(const std::u16string& folder);
