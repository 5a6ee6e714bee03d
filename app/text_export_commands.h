// Export of a note's text to a text file of the user's choice, and import
// of a text file into a note (the note menu's file commands).
#pragma once

#include <string>

#include "platform/types.h"

// The save-as and open dialogs for text files, starting in `folder`. The
// chosen full path and bare name land in `path` and `title`. False: cancelled.
bool ShowSaveDialog(const std::u16string& folder, std::u16string& path, std::u16string& title);
bool ShowOpenDialog(const std::u16string& folder, std::u16string& path, std::u16string& title);

// CMD_SAVE_TO_FILE: writes the note's text to a chosen file, asking before
// replacing one. The note and the data file do not change.
void ExportNoteText(platform::WindowHandle note, platform::LParam origin);

// CMD_LOAD_FROM_FILE: replaces the note's text with a chosen file's, then
// stores it in a new note file and writes the data file. An empty or
// unreadable file changes nothing.
void ImportNoteText(platform::WindowHandle note, platform::LParam origin);
