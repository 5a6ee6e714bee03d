// The in-place editor over a note: a text control laid 5 pixels inside the
// note's edges, in the note's font, holding the note's text while the user
// edits it. At most one exists in the whole program. Every message to it
// passes NoteEditorProc first, which grows the note before text lands, opens
// the edit menu and asks for the end of editing; the note's MSG_END_EDIT
// (OnNoteEndEdit) takes the text back into the note and stores it.
#pragma once

#include <optional>
#include <string>

#include "platform/types.h"

inline constexpr int IDC_NOTE_EDITOR = 139;

// Opens the editor over the note; its window, the note's editor when it
// already has one, or 0 when none opened (another note's editor is open, or
// the control could not be made).
platform::WindowHandle OpenNoteEditor(platform::WindowHandle note);

// Closes the note's editor. When the user changed the text, the editor's
// text replaces the note's (written to its own file at once) and the note is
// fitted to it. 2 when an editor was closed and its text replaced the
// note's, 1 when one was closed otherwise, 0 when the note had none.
int CloseNoteEditor(platform::WindowHandle note);

// MSG_END_EDIT at a note: closes its editor and, when one was open,
// repaints the note, closes its input method, writes its text file and
// saves the data file.
platform::LResult OnNoteEndEdit(platform::WindowHandle note);

// The procedure installed over the editor control.
platform::LResult NoteEditorProc(platform::WindowHandle editor, std::uint32_t message, platform::WParam wParam,
                                 platform::LParam lParam);

// A copy of the editor's text (CR LF line breaks), or nullopt when no copy
// can be made (memory ran out).
std::optional<std::u16string> GetEditorText(platform::WindowHandle editor);
