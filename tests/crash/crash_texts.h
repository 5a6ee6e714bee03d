// What the crash driver and its checker agree on: note texts that prove
// themselves whole and name the note they belong to, the note's identity
// carried in its creation time, and the journal of operations that says
// what the disk may hold after a kill.
#pragma once

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/system.h"

namespace crash {

// A note's text: an optional U+FEFF (it must survive too), then
// "CVC|<note id>|<generation>|<payload units>|<checksum>|" and the payload.
// A torn file fails the length or the checksum; a file of another note or
// of another generation names them.
std::u16string MakeText(int id, int generation, std::mt19937& random);

struct TextStamp {
    int id = 0;
    int generation = 0;
};
// The stamp of a whole, self-consistent text; nullopt for anything else.
std::optional<TextStamp> CheckText(const std::u16string& text);

// Note ids are carried in the creation time, which the program stamps from
// the clock: the driver sets the clock to TimeOfId(id) before a new note.
platform::LocalTime TimeOfId(int id);
std::optional<int> IdOfCreated(const std::u16string& created);

// The journal: a snapshot of the notes the driver found at its start
// ("S <id> <generation>", -1 for no text), then one line before each
// operation ("B <op> <id> <generation>") and "E" after it. An operation
// with its B line and no E line was cut off by the kill.
inline constexpr int kNoText = -1;

struct Operation {
    std::string kind;  // new, paste, import, cut, peel, peellog, save, edit
    int id = 0;
    int generation = kNoText;  // what the note holds once the operation is done
    bool copied = false;       // "C": an edit's text is in the recovery copy
};

struct Journal {
    std::map<int, int> committed;         // note id -> generation, after every finished operation
    std::optional<Operation> inFlight;    // the operation the kill cut off
};

std::optional<Journal> ReadJournal(const std::string& path);

}  // namespace crash
