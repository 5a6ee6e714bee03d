// Bringing two versions of the notes together when the Data folder is kept
// in step with other computers by a file sync engine. Pure functions of
// record lists and their texts: nothing here touches a window or a file.
//
// A record has no id. A note is known across computers by its creation
// time string (by its text file name when it has none); notes that share
// it (two made in the same second on two computers) are told apart by
// their texts, then their file names, then their order, so both survive.
//
// Nothing written on either side is lost: a note changed on both sides
// keeps ours, and the other side's text becomes a note of its own (with a
// first line saying where it came from) unless a note holds that text
// already; a note removed on one side and changed on the other comes back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/records.h"

enum class MergeKind {
    // The data file was replaced by the other side's: it is the newer state
    // of what both last shared (`base`). A note that only they changed
    // takes their change, one that only they removed goes.
    Replaced,
    // The other side's data file came as a conflict copy beside ours: the
    // two are taken as equals, their union is kept and ours wins where both
    // differ. `base` is not used.
    ConflictCopy,
};

// What a merge makes of the other side's texts that no note keeps.
struct ConflictStamp {
    std::u16string created;  // creation time of the notes made for them
    std::u16string source;   // which computer, when: the note's first line
};

struct MergedNote {
    NoteRecord record;        // persistent fields and text
    std::int32_t ours = -1;   // the note of ours it continues, -1 when new here
    bool sameAsTheirs = false;  // equal to one of their records: no save needed for it
};

// The merged list, ours first in our order, then what came from them.
// `editing` is the index in `ours` of a note whose editor is open: its
// text is not replaced; a text from them for it becomes a note of its own.
// A note whose text is not in the file it names (a name both sides gave
// to different texts) has its file name cleared and textUnsaved set, so
// that the next save writes it under a free name.
std::vector<MergedNote> MergeNotes(const std::vector<NoteRecord>& base, const std::vector<NoteRecord>& ours,
                                   const std::vector<NoteRecord>& theirs, MergeKind kind, std::int32_t editing,
                                   const ConflictStamp& stamp);

// Whether two records hold the same note as it is stored (place, level,
// visibility, font, colours, fixed state and text, or its digest),
// whatever file name holds the text.
bool SameNote(const NoteRecord& a, const NoteRecord& b);

// A digest of a text: equal texts have equal digests, and different ones
// differ but by a chance of one in 2^64.
std::uint64_t TextDigest(std::u16string_view text);

// The text a conflict note holds: the line naming its source, then the text.
std::u16string ConflictNoteText(const std::u16string& source, const std::u16string& text);
