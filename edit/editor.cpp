// The in-place editor over a note. Not built yet: no editor opens, so the
// direct-edit command ends after closing any other note's editor.
#include "edit/editor.h"

platform::WindowHandle OpenNoteEditor(platform::WindowHandle) { return 0; }
