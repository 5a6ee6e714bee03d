// The data file "CeVlmDat.bin" in the Data folder: version word, settings
// block, record count, records. Read once at start-up, rewritten whole after
// every change worth keeping.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/records.h"

// Reads the data file into noteSettings and the table (records stay pending
// until their windows are made). Non-zero: start-up goes on (also without a
// file). Zero: the program must end; the message, if any, was shown.
int LoadDataFile();

// Writes the settings and the live records. The previous file stays whole
// when the write cannot be completed. Non-zero on success. A save writes
// everything, so it also settles a save that RequestDataFileSave asked for.
// After StopDataFileSaves it writes nothing and returns 0.
//
// Three places decide when the file is written: the saving column of the
// command table (app/commands.cpp) for commands, SaveDataFileAfter for the
// other moments that write at once, and RequestDataFileSave for the changes
// that come in bursts. Nothing else calls SaveDataFile.
int SaveDataFile();

// The moments outside the command table that write the data file.
enum class SaveTrigger {
    DragEnd,      // a drag moved or resized a note (a click that moved nothing does not save)
    ColourCycle,  // Shift+click or Shift+B stepped a note's background colour
    NoteClose,    // a note's window closed (peeled off): the table lost its record
    Import,       // an imported text file replaced a note's text
    EditEnd,      // a note's editor closed (its text stored, or not changed)
    EditRecovered,  // start-up put back the text of an edit a crash cut off
};

// Writes the data file because of `trigger`; SaveDataFile's result.
int SaveDataFileAfter(SaveTrigger trigger);

// Asks for the data file to be written soon: once no further request has
// come for kSaveQuietMs, and never later than kSaveLatestMs after the first
// request that is not yet written. A burst of changes (an arrow key held
// down) so becomes one write, and every change is on disk within a second.
// Asked by the Soon rule of the command table (a new note) and by a note
// whose rectangle changed without a save of its own (arrow keys, sizing to
// the text, the desktop). The two timers belong to the main window; without
// it the file is written at once.
void RequestDataFileSave();
inline constexpr int kSaveQuietMs = 300;
inline constexpr int kSaveLatestMs = 900;

// wm::Timer at the main window: writes the requested save when the timer is
// one of the save timers. False for any other timer.
bool OnSaveTimer(std::uint32_t timerId);

// The program is ending: a requested save that still waits is written now.
void FlushDataFileSave();

// After an uninstall the data file must not come back: a requested save is
// dropped, and nothing writes the file again in this run.
void StopDataFileSaves();

// Whether a requested save waits, and whether saving has stopped for good.
struct DataFileSaves {
    bool pending = false;
    bool stopped = false;
};
extern DataFileSaves dataFileSaves;

std::u16string DataFilePath();

// The notes as the data file on disk last held them, as this program wrote
// or read it: what a change from another computer is merged against. A
// long text is kept there as its digest (textDigest), not a second copy.
extern std::vector<NoteRecord> sharedNotes;

// The live notes as sharedNotes keeps them.
std::vector<NoteRecord> SharedLiveNotes();

// Set by the part of the program that keeps the notes in step with other
// computers: SaveDataFile calls it before it writes when the data file on
// disk is not as the program last saw it, so that another computer's file
// is merged into the notes before ours replaces it.
extern void (*mergeBeforeSave)();

// The live records as the data file holds them.
std::vector<NoteRecord> LiveNotes();

// Reads a data file that another computer wrote (ours replaced by a sync
// engine, or a conflict copy beside it): its records, each with the text
// of the note file it names. Only a whole file counts: nullopt for one that
// is cut short, has bytes to spare or cannot be read, from which nothing is
// taken. `missing` tells that a note file it names is not there (yet).
std::optional<std::vector<NoteRecord>> ReadNotesFrom(const std::u16string& path, bool& missing);

// Reads a whole text file into UTF-16; nullopt when the path is no file or
// cannot be read.
std::optional<std::u16string> ReadTextFile(const std::u16string& path);
