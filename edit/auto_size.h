// Sizing a note to its text.
#pragma once

#include "platform/types.h"

// Non-zero when the note's size changed.
int FitNoteToText(platform::WindowHandle note);
