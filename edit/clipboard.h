// The clipboard: whole notes copied out and pasted in, and the clipboard's
// text as the editor asks for it.
#pragma once

#include <optional>
#include <string>

#include "platform/types.h"

// Non-zero when the note's text was put on the clipboard; a note without
// text leaves the clipboard alone.
int CopyNoteToClipboard(platform::WindowHandle note);
// Non-zero when the clipboard's text replaced the note's text; without text
// on the clipboard the note keeps its text and its file, and so it does when
// there is no memory for the text (std::bad_alloc).
int PasteNoteFromClipboard(platform::WindowHandle note);

// A copy of the clipboard's text, or nullopt when it holds none, cannot be
// reached or no copy can be made.
std::optional<std::u16string> GetClipboardText();
// True when the clipboard holds a text that is not empty.
bool ClipboardHasText();
