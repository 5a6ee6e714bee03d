// The in-place editor over a note. Start reading at OpenNoteEditor and
// NoteEditorProc.
//
// The editor's own gestures post MSG_END_EDIT to the note, so the editor is
// never destroyed under NoteEditorProc; the direct-edit command sends it, so
// that the previous editor is gone before the next one opens.
#include "edit/editor.h"

#include <new>

#include "edit/auto_size.h"
#include "edit/clipboard.h"
#include "edit/edit_menu.h"
#include "edit/input_method.h"
#include "edit/line_sizes.h"
#include "note/painting.h"
#include "platform/draw.h"
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/window.h"
#include "store/data_file.h"
#include "store/edit_recovery.h"
#include "store/messages.h"
#include "store/records.h"
#include "store/text_files.h"

namespace {

using platform::LParam;
using platform::LResult;
using platform::WindowHandle;
using platform::WParam;
namespace vk = platform::vk;
namespace wm = platform::wm;

constexpr std::int32_t kEditorInset = 5;

// The control's own procedure while an editor exists, null otherwise: it is
// also the sign that an editor is open somewhere.
platform::WindowProcFn savedEditProc = nullptr;
// An Alt+click opened the edit menu; its release must not reach the control.
bool altClickPending = false;

bool Held(std::uint32_t key) { return platform::IsKeyHeld(key); }

// The messages through which text enters or leaves the control: after each
// one the recovery copy is due (it is written only when the text changed).
bool MayChangeText(std::uint32_t message)
{
    switch (message) {
    case wm::KeyDown:
    case wm::Char:
    case wm::ImeComposition:
    case wm::Paste:
    case wm::Cut:
    case wm::Undo: return true;
    default: return false;
    }
}

bool IsOpenEditor(WindowHandle editor)
{
    const std::int32_t editing = FindEditingNote();
    return editing >= 0 && noteTable.notes[editing].editWindow == editor;
}

bool IsFixedNote(WindowHandle note)
{
    const NoteRecord* record = FindNote(note);
    return record != nullptr && record->fixed != 0;
}

void PostEndEdit(WindowHandle editor)
{
    platform::PostWindowMessage(platform::GetParentWindow(editor), MSG_END_EDIT, 0, 0);
}

// Alt+P: the edit menu opens half a character cell (of the editor's default
// font) below the caret.
void RequestMenuAtCaret(WindowHandle editor, WParam wParam)
{
    const platform::Point caret = platform::GetEditorCaretPosition(editor);
    const std::int32_t cell = platform::MeasureText(0, u"W").height;
    platform::PostWindowMessage(editor, MSG_EDIT_MENU, wParam, platform::PackPoint(caret.x, caret.y + cell / 2));
}

void ShowMenuAtClientPoint(WindowHandle editor, LParam point)
{
    const platform::Rect bounds = platform::GetWindowBounds(editor);
    ShowEditMenu(editor,
                 platform::Point{bounds.left + platform::LowSigned(point), bounds.top + platform::HighSigned(point)});
}

// True when the message is swallowed: the control never sees it.
bool Intercept(WindowHandle editor, std::uint32_t message, WParam wParam, LParam lParam)
{
    const WindowHandle note = platform::GetParentWindow(editor);
    switch (message) {
    case wm::KeyDown:
        if (wParam == vk::Escape)
            PostEndEdit(editor);
        else if (!Held(vk::Control) && !IsFixedNote(note))
            GrowNoteForKey(editor, static_cast<std::uint32_t>(wParam));
        return false;
    case wm::SysChar:
        if (!Held(vk::Alt) || (wParam != 'P' && wParam != 'p')) return false;
        RequestMenuAtCaret(editor, wParam);
        return true;
    case wm::ImeComposition:
        if (IsFixedNote(note)) return false;
        if ((lParam & platform::gcs::ResultString) != 0) {
            if (const std::optional<std::u16string> result = platform::GetCompositionResult(editor))
                GrowNoteForInsert(editor, *result);
        }
        if ((lParam & platform::gcs::CompositionString) != 0) {
            if (const std::optional<std::u16string> composing = platform::GetComposingText(editor))
                GrowNoteForComposition(editor, *composing);
        }
        return false;
    case wm::LeftButtonDown:
        altClickPending = Held(vk::Alt);
        if (altClickPending) platform::PostWindowMessage(editor, MSG_EDIT_MENU, wParam, lParam);
        return altClickPending;
    case wm::LeftButtonUp:
        if (!altClickPending) return false;
        altClickPending = false;
        return true;
    case wm::LeftButtonDoubleClick:
        if (noteSettings.editGesture == 0 || Held(vk::Control)) PostEndEdit(editor);
        return false;
    case wm::Paste:
        if (!IsFixedNote(note)) {
            if (const std::optional<std::u16string> text = GetClipboardText()) GrowNoteForInsert(editor, *text);
        }
        return false;
    case MSG_EDIT_MENU: ShowMenuAtClientPoint(editor, lParam); return false;
    default: return false;
    }
}

}  // namespace

std::optional<std::u16string> GetEditorText(WindowHandle editor)
{
    try {
        return platform::GetEditorText(editor);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

WindowHandle OpenNoteEditor(WindowHandle window)
{
    if (savedEditProc != nullptr) return 0;
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return 0;
    if (note->editWindow != 0) return note->editWindow;
    const platform::Rect client = platform::GetClientRect(window);
    WindowHandle editor = platform::CreateEditorControl(
        window, IDC_NOTE_EDITOR,
        platform::Rect{kEditorInset, kEditorInset, client.right - kEditorInset, client.bottom - kEditorInset},
        note->fontHandle);
    if (editor != 0) {
        if (note->text) platform::SetEditorText(editor, *note->text);
        savedEditProc = platform::SetWindowProcedure(editor, NoteEditorProc);
        if (savedEditProc == nullptr) {
            platform::DestroyAppWindow(editor);
            editor = 0;
        }
    }
    if (editor != 0) BeginEditRecovery();
    note->editWindow = editor;
    return editor;
}

int CloseNoteEditor(WindowHandle window)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr || note->editWindow == 0) return 0;
    const WindowHandle editor = note->editWindow;
    const bool modified = platform::IsEditorModified(editor);
    // A text that cannot be copied leaves the note as it was, its file
    // included, rather than empty.
    bool replaced = false;
    if (modified) {
        if (std::optional<std::u16string> text = GetEditorText(editor)) {
            ReplaceNoteText(*note, std::move(text));
            replaced = true;
        }
    }
    platform::SetWindowProcedure(editor, savedEditProc);
    savedEditProc = nullptr;
    altClickPending = false;
    note->editWindow = 0;
    platform::DestroyAppWindow(editor);
    ForgetLineSizes();
    if (modified) FitNoteToText(window);
    return replaced ? 2 : 1;
}

LResult OnNoteEndEdit(WindowHandle note)
{
    const int closed = CloseNoteEditor(note);
    if (closed == 0) return 0;
    RepaintNote(note);
    CloseInputMethod(note);
    // A replaced text is in a file of its own already; writing it once more
    // would only flush the disk twice.
    if (closed == 1) SaveNoteText(note);
    SaveDataFileAfter(SaveTrigger::EditEnd);
    // Only now is the typing on disk the usual way.
    EndEditRecovery();
    return 0;
}

LResult NoteEditorProc(WindowHandle editor, std::uint32_t message, WParam wParam, LParam lParam)
{
    if (Intercept(editor, message, wParam, lParam)) return 0;
    // The edit menu runs a loop of its own in which editing may have ended:
    // an editor that is gone has nothing left to pass on to.
    if (!IsOpenEditor(editor)) return 0;
    const LResult result = platform::CallWindowProcedure(savedEditProc, editor, message, wParam, lParam);
    if (MayChangeText(message)) RequestEditRecoveryCopy();
    return result;
}
