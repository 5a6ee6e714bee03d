// The in-place editor over a note.
#pragma once

#include "platform/types.h"

// Opens the editor over the note; the editor's window, or 0 when none opened.
platform::WindowHandle OpenNoteEditor(platform::WindowHandle note);
