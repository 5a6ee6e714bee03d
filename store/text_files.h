// A note's text file in the Data folder ("VLM" + five digits + ".txt"):
// naming, writing, replacing and deleting it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"
#include "store/records.h"

// True for a note text file's name, "VLM" + five digits + ".txt".
bool IsNoteFileName(const std::u16string& name);

// The lowest free note file name in the Data folder, with its full path.
// Zero when all 100,000 names are taken.
int MakeNoteFileName(std::u16string& path, std::u16string& name);

// Creates or replaces the file with the text in the text-file encoding, up
// to its first NUL. Zero when the file could not be written whole; the
// previous file is then untouched.
int WriteTextFile(const std::u16string& path, const std::u16string& text);

// Writes the note's text to a freshly named note file and deletes the old
// one. Zero (nothing changed) for a note without text or when the write fails.
int SaveNoteText(platform::WindowHandle note);

// Puts newText (nullopt: no text) in place of the note's text: the one way
// a note's text is replaced (paste, cut, import, the end of an edit). When
// the note had a text, its file no longer holds the note and is deleted, and
// the name cleared; the caller stores the new text with SaveNoteText and
// then the data file. A note without text keeps the name of a file that
// could not be read at start-up, so that file is not lost unread.
void ReplaceNoteText(NoteRecord& note, std::optional<std::u16string> newText);

// Deletes the note's file, if the field names one inside Data, and empties
// the field.
void DeleteNoteFile(TextField<14>& fileName);

// Size of the file in bytes (low 32 bits), or 0 when the path is empty or
// the file cannot be opened.
std::uint32_t GetFileLength(const std::u16string& path);
