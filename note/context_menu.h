// A note's context menu, the peel-off prompt of the Delete key, and the
// colour chooser request of the colour commands.
#pragma once

#include "platform/types.h"

// Opens the note's menu with its top-left corner at a screen point and posts
// the chosen command to the note (lParam 1).
void ShowNoteMenu(platform::WindowHandle note, platform::Point screenPoint);

// Asks whether to peel the note off (and whether to log it) and posts the
// peel command that the answer names.
void PromptPeel(platform::WindowHandle note);
