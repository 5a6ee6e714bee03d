// The font selection dialog.
#pragma once

#include "platform/font.h"

// Runs the dialog on a copy of a font description; 1 when the user confirmed
// (the copy then holds the choice), 0 when cancelled or when it did not open.
int RunFontDialog(platform::FontDescription& font);
