// The in-place editor: a multi-line text control that the program lays over
// a note while its text is edited. It is a child window of the note: its
// handle is a window handle like any other (messages are posted and sent to
// it, it is destroyed with DestroyAppWindow, GetWindowBounds gives its
// rectangle in screen coordinates), its place is given in the note's client
// coordinates, and it never wraps lines. It ends with its parent, after the
// parent's wm::Destroy has run (so the parent's handler can still read it).
// Giving it the keyboard focus activates its parent first where the parent
// is not active, as a click into it does; its parent's deactivation takes
// the focus from it.
//
// Every message to the editor passes first through the procedure the
// program installs with SetWindowProcedure. That procedure either swallows a
// message (returns without passing it on: nothing happens) or passes it on
// to the procedure it replaced, which is the control's own behaviour. The
// desktop's input reaches the editor only this way: a key is wm::KeyDown
// with the virtual-key code (with Alt held: wm::SysKeyDown and wm::SysChar),
// followed by wm::Char for a key that types a character; a finished
// input-method composition is wm::ImeComposition with gcs::ResultString in
// lParam, and each change of a composition still in progress one with
// gcs::CompositionString before the control shows it (the control shows
// it whether or not the message is passed on); mouse buttons are wm::LeftButtonDown/Up/DoubleClick with the
// client point; every way the control can paste (the keyboard, the middle
// button's selection, dropping text, its own menu) is one wm::Paste. No text
// enters the editor but through a message the program saw first.
//
// Text positions are UTF-16 units of the text with CR LF line breaks, which
// is how the editor reports its text whatever the control stores: every line
// break that enters it (CR LF, a lone LF or a lone CR, set, typed, pasted or
// composed) is one line break, reported as CR LF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform {

namespace wm {
inline constexpr std::uint32_t ImeComposition = 271;
inline constexpr std::uint32_t Cut = 768;
inline constexpr std::uint32_t Copy = 769;
inline constexpr std::uint32_t Paste = 770;
inline constexpr std::uint32_t Undo = 772;
}  // namespace wm

// Editor requests: select from wParam to lParam (lParam -1: to the end).
namespace em {
inline constexpr std::uint32_t SetSelection = 177;
}  // namespace em

// wm::ImeComposition's lParam flags: a composition in progress changed; a
// finished composition is ready.
namespace gcs {
inline constexpr LParam CompositionString = 0x8;
inline constexpr LParam ResultString = 0x800;
}  // namespace gcs

// Makes the editor as a child of `parent` with the child identifier, at
// `bounds` in the parent's client coordinates, shown, in `font` (0: the
// default font), empty and unmodified. 0 on failure.
WindowHandle CreateEditorControl(WindowHandle parent, int childId, Rect bounds, FontHandle font);

// The window a child belongs to; 0 for a top-level window or no window.
WindowHandle GetParentWindow(WindowHandle window);

// Moves and resizes a child within its parent's client area.
bool MoveChildWindow(WindowHandle child, Rect bounds, bool repaint);

// The window's client rectangle: 0, 0, width, height.
Rect GetClientRect(WindowHandle window);

// Installs `proc` as the window's procedure and returns the one it replaces
// (for the editor at first: the control's own behaviour); nullptr for no
// window. CallWindowProcedure runs a procedure for a message, which is how a
// message is passed on; a null procedure does nothing and gives 0.
WindowProcFn SetWindowProcedure(WindowHandle window, WindowProcFn proc);
LResult CallWindowProcedure(WindowProcFn proc, WindowHandle window, std::uint32_t message, WParam wParam,
                            LParam lParam);

// Replaces the text (line breaks CR LF, or a lone LF) without counting as the
// user's change: the modification flag is clear afterwards and nothing can
// be undone. The caret goes to the start.
void SetEditorText(WindowHandle editor, std::u16string_view text);

// The text with CR LF line breaks. The copy throws std::bad_alloc when
// memory runs out, as every copy may.
std::u16string GetEditorText(WindowHandle editor);

// Set by every change the user makes (typing, deleting, pasting, cutting,
// undoing); cleared only by SetEditorText. Typing and then deleting what was
// typed leaves it set.
bool IsEditorModified(WindowHandle editor);

struct TextSelection {
    std::int32_t start = 0;
    std::int32_t end = 0;
    friend bool operator==(const TextSelection&, const TextSelection&) = default;
};
TextSelection GetEditorSelection(WindowHandle editor);

// The line that holds the caret, counted from 0.
std::int32_t GetEditorCaretLine(WindowHandle editor);

// The caret's top-left corner in the editor's client coordinates.
Point GetEditorCaretPosition(WindowHandle editor);

// Whether wm::Undo would take a change back. Undo takes back at least the
// last change (a control may take back a run of typing as one).
bool EditorCanUndo(WindowHandle editor);

}  // namespace platform
