// Whole notes through the clipboard: a note's text copied out, and the
// clipboard's text taken into a note.
#pragma once

#include "platform/types.h"

// Non-zero when the note's text was put on the clipboard.
int CopyNoteToClipboard(platform::WindowHandle note);
// Non-zero when the clipboard's text replaced the note's text.
int PasteNoteFromClipboard(platform::WindowHandle note);
