// The note commands that change a note's display level, its visibility and
// whether it is fixed. A command that reaches a window that is not a live
// note (the main window) changes nothing.
#include "note/note_state.h"

#include "note/levels.h"
#include "note/painting.h"
#include "platform/window.h"
#include "store/messages.h"
#include "store/records.h"

void SetNoteLevel(platform::WindowHandle window, std::int32_t level)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    note->zLevel = level;
    ApplyNoteLevel(window, level);
}

void HideNote(platform::WindowHandle window)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    // A hidden note's editor would keep the typed text out of the note for
    // as long as it stays hidden: it is stored now.
    platform::SendWindowMessage(window, MSG_END_EDIT, 0, 0);
    note->shown = kNoteHidden;
    platform::ShowAppWindow(window, platform::sw::Hide);
    platform::UpdateAppWindow(window);
}

void ShowNote(platform::WindowHandle window)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    note->shown = kNoteShown;
    platform::ShowAppWindow(window, platform::sw::ShowNormal);
    platform::UpdateAppWindow(window);
}

void ToggleNoteFixed(platform::WindowHandle window)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    note->fixed = note->fixed == 0 ? 1 : 0;
    RepaintNote(window);
}
