// A note's context menu, the peel-off prompt of the Delete key, and the
// colour chooser request of the colour commands.
#pragma once

#include <cstdint>

#include "platform/dialogs.h"
#include "platform/types.h"

// A right-button release at a note, or MSG_SHOW_NOTE_MENU (Alt+click, P,
// Alt+P): opens the note's menu at the client point in lParam, unless a
// dialog or a menu is open.
platform::LResult OnNoteMenuRequest(platform::WindowHandle note, platform::LParam point);

// Opens the note's menu with its top-left corner at a screen point and posts
// the chosen command to the note (lParam 1).
void ShowNoteMenu(platform::WindowHandle note, platform::Point screenPoint);

// Asks whether to peel the note off (and whether to log it) and posts the
// peel command that the answer names.
void PromptPeel(platform::WindowHandle note);

// Fills a colour chooser request anew: the initial colour (selected when the
// chooser opens) and the 16 custom colours.
void PrepareColorDialog(platform::ColorRequest& request, std::uint32_t initialColor, std::uint32_t* customColors);
