// The note commands that change a note's level, visibility or fixed state.
// They change the record and the window; saving is the command table's rule.
#pragma once

#include <cstdint>

#include "platform/types.h"

// zLevel = level (z::Topmost, z::NotTopmost or z::Bottom), applied at once.
void SetNoteLevel(platform::WindowHandle note, std::int32_t level);
void HideNote(platform::WindowHandle note);
void ShowNote(platform::WindowHandle note);
// Fixed notes ignore drags and arrow keys and show no resize grip.
void ToggleNoteFixed(platform::WindowHandle note);
