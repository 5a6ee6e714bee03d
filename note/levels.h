// Display levels and visibility: counting shown notes, bringing notes to the
// front one at a time or all together.
#pragma once

#include <cstdint>

#include "platform/types.h"

std::int32_t CountShownNotes();

// Whether the tray icon is on the screen: switched on and a tray there to
// show it. Without it, the shown notes (and the hotkey) are the only way
// back into the program.
bool TrayIconShown();

int RaiseNextNote(std::int32_t index);
int RaisePreviousNote(std::int32_t index);
int RaiseLastNote();
void RaiseAllNotes();

// Post the show (hide) command to every live note and one save at the end.
void ShowAllNotes();
void HideAllNotes();

// Puts a note's window back at its level (after activation or a level change).
void ApplyNoteLevel(platform::WindowHandle window, std::int32_t zLevel);
