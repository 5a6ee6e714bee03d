// Keeps a note usable: at least 26 x 26 pixels, and at least 26 pixels of it
// inside the work area in each direction.
#pragma once

#include "platform/types.h"

inline constexpr int kMinNoteExtent = 26;

void ClampNoteRect(platform::Rect& rect);
