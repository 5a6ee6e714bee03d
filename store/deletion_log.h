// The deletion log "VlmLog.txt" beside the program: a copy of every note
// peeled off with logging, with its creation and deletion times. The program
// only ever appends to it.
#pragma once

#include <string>

#include "platform/types.h"

std::u16string LogFilePath();

// Appends the note's entry (the leading separator line first when the log
// is new). Zero when the note has no text (nothing is logged) or the log
// cannot be written.
int AppendDeletionLog(platform::WindowHandle note);

