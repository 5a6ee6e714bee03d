// What the saves hand to the disk writer (platform/writer.h), and the order
// in which the writer makes it last. The program's thread writes the bytes
// of every file to a staged temporary file (platform::StageFileReplacement:
// a full disk is known at once, and the bytes are a snapshot that nothing
// changes later); the writer flushes and renames them, off the paths of
// keys, clicks and paints, keeping the crash-safe order:
//
//   1. the note texts handed over, then one flush of the Data folder;
//   2. the newest data file, only when every text it may name is on disk,
//      then a flush of its folder;
//   3. the deletions (retired note files, the recovery copy), only once the
//      newest data file handed over is on disk: never while the data file
//      on disk may still name them;
//   4. the newest recovery copy of an open edit.
//
// What is handed over while the writer is busy waits in one batch, and a
// newer file of the same name replaces the older one there (the older one's
// temporary file is removed unflushed): a burst of saves costs one flush of
// each file. A name is either to be written or deleted: handing over one
// cancels a waiting other.
//
// A failure on the writer's side loses nothing in memory: the program's
// thread hears of it, marks the notes whose texts did not reach the disk
// as unsaved (the next save writes them again) and tells the user as any
// failed save does (store/save_trouble.h). A data file that could not be
// committed leaves the deletions waiting for the next one; one held back
// only because it was handed over before the program heard of such texts
// is saved again soon.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"

void HandOverNoteText(platform::StagedFile text);
// A data file found at the path that is not the one the program last saw
// there (a sync engine's, arrived after this one was staged) first gets the
// name `aside` (none: it is written over).
void HandOverDataFile(platform::StagedFile image, std::vector<std::u16string> deletions, std::u16string aside);
void HandOverEditCopy(platform::StagedFile copy);
void HandOverDeletion(std::u16string path);

// True while the writer has yet to commit or delete a file of this path:
// such a name is not free for a new note file, and a data file read from
// the disk meanwhile is older than the program's.
bool IsBeingWritten(const std::u16string& path);

// True when the file at the path is as the program last saw it: the file
// the writer committed there (none, after it deleted it), or the one the
// program read there since. A change at such a path is the program's own;
// any other came from elsewhere.
bool IsAsLastSeen(const std::u16string& path);

// The program read the file that had this stamp at the path.
void NoteSeen(const std::u16string& path, std::optional<platform::FileStamp> stamp);

// The program ends: everything handed over reaches the disk first.
void FinishSaves();
