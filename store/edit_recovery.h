// The recovery copy of an open edit: while a note's editor is open, what the
// user typed is copied within a second to "~CeVlmEdit.tmp" in Data, so that
// a crash or a kill loses at most the last second of typing. The next start
// puts the text back into its note (app/startup.cpp); an edit that ends
// normally stores its text the usual way and the copy goes. The copy
// belongs to this computer: file sync engines leave names of the form
// "~*.tmp" alone by default, so that another computer's next start never
// puts a stranger's edit into one of its notes. Older copies of the program
// named it "CeVlmEdit.txt"; a start still takes back a copy of that name.
//
// The copy is a small header and the text, as a note file holds it:
//
//     CeVelmo edit recovery 1
//     created: 2024/01/02 03:04:05     the note's creation time
//     file: VLM00003.txt               the text file its record named
//     index: 3                         its place in the table
//     bytes: 1234                      the length of what follows
//     (an empty line, then the text)
//
// No rule of the data file reads or deletes this name: records name only
// note files ("VLM" + five digits + ".txt") and start-up removes only the
// writer's temporary files, so a copy of the program that knows nothing of
// recovery leaves it alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

inline constexpr char16_t kEditRecoveryName[] = u"~CeVlmEdit.tmp";
inline constexpr char16_t kOlderEditRecoveryName[] = u"CeVlmEdit.txt";
std::u16string EditRecoveryPath();

// Asks for the open editor's text to be copied soon: once no further
// request has come for kRecoveryQuietMs, and never later than
// kRecoveryLatestMs after the first request not yet copied. Asked by the
// editor after every message that may change its text. The two timers
// belong to the main window; without it the copy is written at once.
void RequestEditRecoveryCopy();
inline constexpr int kRecoveryQuietMs = 300;
inline constexpr int kRecoveryLatestMs = 900;

// wm::Timer at the main window: writes the requested copy when the timer is
// one of the copy's timers. False for any other timer.
bool OnEditRecoveryTimer(std::uint32_t timerId);

// Writes the copy of the open editor's text now, unless the user has not
// changed the text or the copy on disk holds it already. For every moment
// when typing must reach the disk before anything else happens. False when
// the copy could not be written.
bool WriteEditRecoveryCopy();

// An editor opened: nothing of its text is copied yet.
void BeginEditRecovery();

// An edit ended and its text was stored the usual way, or the program ends
// normally: the timers stop and the copy this run wrote or read goes, as
// long as the notes are all on disk (after a failed save the copy still
// holds what the disk lacks). A copy that could not be read is left alone.
void EndEditRecovery();

// What a recovery copy holds. The header's values are kept in its own
// encoding, so that they compare exactly with a record's.
struct RecoveredEdit {
    std::string created;
    std::string fileName;
    std::int32_t index = -1;
    std::u16string text;
};

// The copy an earlier run left, if any (under the older name when there is
// none under the present one). A copy that is there but is no whole copy
// (cut short, not one at all, not readable) is left where it is;
// `unreadable` is then its path, and empty otherwise.
std::optional<RecoveredEdit> ReadEditRecovery(std::u16string& unreadable);

// The live note the copy belongs to: the one note whose creation time and
// text file are those of the header (among several, the one at the
// header's index); otherwise a note that holds the copy's text already (the
// copy outlived the save that stored it). -1 when none: the note is gone,
// or its text was stored again since (by a copy of the program that knows
// nothing of recovery), so the copy is no longer its latest text.
std::int32_t FindRecoveredNote(const RecoveredEdit& edit);
