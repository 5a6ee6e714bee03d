// The commands that act on one note. A modal dialog runs a nested loop in
// which other commands may remove notes, so the note's record is looked up
// again after every dialog and left alone when the note has gone.
#include "app/note_commands.h"

#include "app/note_windows.h"
#include "app/save_warnings.h"
#include "dialogs/font_dialog.h"
#include "edit/auto_size.h"
#include "edit/clipboard.h"
#include "edit/editor.h"
#include "edit/input_method.h"
#include "edit/input_mode.h"
#include "note/context_menu.h"
#include "note/painting.h"
#include "platform/dialogs.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/deletion_log.h"
#include "store/messages.h"
#include "store/text_files.h"

namespace {

// The colour chooser's requests, one per colour, kept for the whole run.
platform::ColorRequest textColourRequest;
platform::ColorRequest backColourRequest;

// Runs the colour chooser on one of the note's colours; true when the
// colour was changed.
bool ChooseColour(platform::WindowHandle window, platform::ColorRequest& request,
                  std::uint32_t NoteRecord::*colour)
{
    const BusyGuard busy(dialogBusy);
    PrepareColorDialog(request, FindNote(window)->*colour, &notePalette[5]);
    const bool chosen = platform::ChooseColorDialog(request);
    NoteRecord* note = FindNote(window);
    if (chosen && note != nullptr) note->*colour = request.color;
    RepaintNote(window);
    return chosen;
}

void SetEditorInputMode(platform::WindowHandle editor)
{
    switch (noteSettings.inputMode) {
    case 0: OpenInputMethod(editor, platform::Conversion::Romaji); break;
    case 1: OpenInputMethod(editor, platform::Conversion::Kana); break;
    case 2: CloseInputMethod(editor); break;
    default: break;
    }
}

}  // namespace

// A note with text is peeled only once its copy is in the log: when the
// entry cannot be appended (a full disk), the note stays and the user is
// told.
void PeelNoteLogged(platform::WindowHandle window, platform::LParam origin)
{
    if (HasText(*FindNote(window)) && AppendDeletionLog(window) == 0) {
        WarnPeelNotLogged();
        return;
    }
    PeelNote(window, origin);
}

// Closing the window removes the record, writes the data file and brings
// the last note forward. The note's file goes only after that save: until a
// data file without the note is on disk, the one on disk still names it.
void PeelNote(platform::WindowHandle window, platform::LParam)
{
    RetireNoteFile(*FindNote(window));
    platform::PostWindowMessage(window, platform::wm::Close, 0, 0);
}

void ChooseTextColour(platform::WindowHandle window, platform::LParam)
{
    ChooseColour(window, textColourRequest, &NoteRecord::textColor);
}

void ChooseBackColour(platform::WindowHandle window, platform::LParam)
{
    ChooseColour(window, backColourRequest, &NoteRecord::backColor);
}

void ChooseNoteFont(platform::WindowHandle window, platform::LParam)
{
    platform::FontDescription font = FindNote(window)->font;
    int result = 0;
    {
        const BusyGuard busy(dialogBusy);
        result = RunFontDialog(font);
    }
    NoteRecord* note = FindNote(window);
    if (result == 1 && note != nullptr) {
        note->font = font;
        if (note->fontHandle != 0) platform::DeleteFontObject(note->fontHandle);
        note->fontHandle = platform::CreateFontObject(note->font);
        RepaintNote(window);
    }
    platform::BringToForeground(window);
}

// At most one editor exists: another note's editor is closed (its text
// stored) before this one opens.
void EditDirect(platform::WindowHandle window, platform::LParam)
{
    const std::int32_t editing = FindEditingNote();
    if (editing >= 0) platform::SendWindowMessage(noteTable.notes[editing].window, MSG_END_EDIT, 0, 0);
    if (FindNote(window) == nullptr) return;
    const platform::WindowHandle editor = OpenNoteEditor(window);
    if (editor == 0) return;
    platform::SetKeyboardFocus(editor);
    SetEditorInputMode(editor);
}

void CutNote(platform::WindowHandle window, platform::LParam)
{
    NoteRecord* note = FindNote(window);
    // The text leaves the note only once the clipboard holds it.
    if (!HasText(*note) || CopyNoteToClipboard(window) == 0) return;
    ReplaceNoteText(*note, std::nullopt);
    RepaintNote(window);
}

void CopyNote(platform::WindowHandle window, platform::LParam) { CopyNoteToClipboard(window); }

// Taking the clipboard's text writes it to the note's new file; the
// command's save then commits it.
void PasteNote(platform::WindowHandle window, platform::LParam)
{
    PasteNoteFromClipboard(window);
    FitNoteToText(window);
    RepaintNote(window);
}

void AutoSizeNote(platform::WindowHandle window, platform::LParam) { FitNoteToText(window); }
