// The deletion log "VlmLog.txt" beside the program: a copy of every note
// peeled off with logging, with its creation and deletion times. The program
// only ever appends to it.
#pragma once

#include <string>

#include "platform/types.h"

std::u16string LogFilePath();

// Appends the note's entry (the leading separator line first when the log
// is new), whole or not at all. Zero when the note has no text (nothing is
// logged) or the entry could not be written (the log is then unchanged).
int AppendDeletionLog(platform::WindowHandle note);


// Appends to the log the entries that a conflicting copy of it (a sync
// engine's, from another computer) holds beyond the ones both share. True
// when nothing of the copy is missing from the log afterwards, so that the
// copy may go.
bool AppendLogCopy(const std::u16string& copyPath);
