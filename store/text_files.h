// A note's text file in the Data folder ("VLM" + five digits + ".txt"):
// naming, writing, replacing and retiring it.
//
// Replacing a note's text never leaves the note without a whole file: the
// new text goes to a file of its own under a fresh name first, then the data
// file that names it is written, and only then is the old file deleted.
// At every moment the data file on disk names files that exist and hold
// either the old text or the new one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"
#include "store/records.h"

// Names of files that held a note's old text (or a peeled note's), waiting
// for a data file that no longer names them.
extern std::vector<std::u16string> retiredNoteFiles;

// True for a note text file's name, "VLM" + five digits + ".txt". A record
// that names anything else (the data file, the log, a temporary file) counts
// as having no file: that file is never read as a note's text nor deleted.
bool IsNoteFileName(const std::u16string& name);

// The lowest free note file name in the Data folder, with its full path. A
// name is free when nothing in Data bears it and no record, live or
// pending, names it. Zero when all 100,000 names are taken.
int MakeNoteFileName(std::u16string& path, std::u16string& name);

// Creates or replaces the file with the whole text in the text-file
// encoding. Zero when the file could not be written whole; the previous file
// is then untouched.
int WriteTextFile(const std::u16string& path, const std::u16string& text);

// Writes the note's text to a freshly named note file (with the old file's
// mode), puts the new name in the record and retires the old file. Zero (nothing changed) for a note
// without text or when the write fails.
int SaveNoteText(platform::WindowHandle note);

// Puts newText (nullopt: no text) in place of the note's text: the one way
// a note's text is replaced (paste, cut, import, and the end of an edit,
// which hands over the editor's text). A new text is written to a file of
// its own at once and the old file retired; no text means no file. The
// caller then writes the data file, which commits the change and deletes
// the retired file.
//
// False when the new text could not be written (a full disk, a read-only
// folder): the note keeps the new text in memory and the record its old
// file, the user is told, and every later save of the data file tries again.
// std::bad_alloc when there is no memory to write it: the note is then left
// as it was, old text and file.
//
// A note without text whose record still names a file could not read that
// file at start-up: the file is never deleted unread. Its name stays as long
// as the note gets no text, and is dropped (the file left in place) when it
// gets one.
bool ReplaceNoteText(NoteRecord& note, std::optional<std::u16string> newText);

// The note's file is to go once a data file without it is on disk (peel):
// the next successful save of the data file deletes it, unless a record
// still names it. A file the note never read is left alone.
void RetireNoteFile(const NoteRecord& note);

// Called by SaveDataFile before it writes: every live note whose text is
// newer than its file (a write that failed, or a file shared with another
// record) gets it written now. False when a text could not be written.
bool WriteUnsavedNoteTexts();

// Called by SaveDataFile with the data file it hands to the disk writer:
// the paths of the retired files that no record, live or pending, names
// any more, which the writer deletes once that data file is on disk.
std::vector<std::u16string> TakeDeletableNoteFiles();

// The disk writer could not commit the texts at these paths: the notes
// that name them write their texts again at the next save.
void MarkNoteTextsUnwritten(const std::vector<std::u16string>& paths);

// Size of the file in bytes (low 32 bits), or 0 when the path is empty or
// the file cannot be opened.
std::uint32_t GetFileLength(const std::u16string& path);
