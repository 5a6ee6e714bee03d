// Sizing a note to its text. Not built yet: notes keep their size.
#include "edit/auto_size.h"

int FitNoteToText(platform::WindowHandle) { return 0; }
