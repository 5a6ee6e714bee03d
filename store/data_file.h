// The data file "CeVlmDat.bin" in the Data folder: version word, settings
// block, record count, records. Read once at start-up, rewritten whole after
// every change worth keeping.
#pragma once

#include <optional>
#include <string>

// Reads the data file into noteSettings and the table (records stay pending
// until their windows are made). Non-zero: start-up goes on (also without a
// file). Zero: the program must end; the message, if any, was shown.
int LoadDataFile();

// Writes the settings and the live records. The previous file stays whole
// when the write cannot be completed. Non-zero on success.
//
// Two places decide when the file is written: the saving column of the
// command table (app/commands.cpp) for commands, and SaveDataFileAfter for
// everything else. Nothing else calls SaveDataFile.
int SaveDataFile();

// The moments outside the command table that write the data file.
enum class SaveTrigger {
    DragEnd,      // a drag moved or resized a note (a click that moved nothing does not save)
    ColourCycle,  // Shift+click or Shift+B stepped a note's background colour
    NoteClose,    // a note's window closed (peeled off): the table lost its record
    Import,       // an imported text file replaced a note's text
    EditEnd,      // a note's editor closed (its text stored, or not changed)
};

// Writes the data file because of `trigger`; SaveDataFile's result.
int SaveDataFileAfter(SaveTrigger trigger);

std::u16string DataFilePath();

// Reads a whole text file into UTF-16; nullopt when the path is no file or
// cannot be read.
std::optional<std::u16string> ReadTextFile(const std::u16string& path);
