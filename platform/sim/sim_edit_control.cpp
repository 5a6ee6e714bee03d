// What the simulated editor control does with its messages: the keys that
// move the caret and delete (wm::KeyDown), the characters it types
// (wm::Char, where the Ctrl letters of the clipboard and undo ask for
// wm::Cut, wm::Copy, wm::Paste and wm::Undo, sent to itself so that a
// procedure installed over it sees them), the clipboard and undo requests,
// selection requests, a finished input-method composition, and the mouse
// placing the caret, selecting by dragging and selecting a word by a double
// click.
#include <algorithm>

#include "platform/clipboard.h"
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/sim/sim_editor.h"

namespace sim::detail {

namespace {

namespace vk = platform::vk;
namespace wm = platform::wm;

constexpr char16_t kCtrlA = 0x01;
constexpr char16_t kCtrlC = 0x03;
constexpr char16_t kCtrlV = 0x16;
constexpr char16_t kCtrlX = 0x18;
constexpr char16_t kCtrlZ = 0x1A;

std::int32_t Length(const EditorState& editor) { return static_cast<std::int32_t>(editor.text.size()); }

bool HasSelection(const EditorState& editor) { return editor.anchor != editor.caret; }

std::u16string SelectedText(const EditorState& editor)
{
    const std::int32_t from = std::min(editor.anchor, editor.caret);
    return editor.text.substr(from, std::max(editor.anchor, editor.caret) - from);
}

// One step left or right, over a CR LF as one.
std::int32_t StepLeft(const EditorState& editor, std::int32_t at)
{
    if (at >= 2 && editor.text.compare(at - 2, 2, u"\r\n") == 0) return at - 2;
    return at > 0 ? at - 1 : 0;
}

std::int32_t StepRight(const EditorState& editor, std::int32_t at)
{
    if (editor.text.compare(at, 2, u"\r\n") == 0) return at + 2;
    return at < Length(editor) ? at + 1 : at;
}

// Moves the caret; with Shift held the anchor stays and the selection grows.
void MoveCaret(EditorState& editor, std::int32_t to)
{
    editor.caret = to;
    if (!platform::IsKeyHeld(vk::Shift)) editor.anchor = to;
}

// Up and Down keep the caret's column in characters where the line has it.
std::int32_t VerticalStep(const EditorState& editor, int lines)
{
    const std::int32_t column = editor.caret - LineStart(editor.text, editor.caret);
    const std::int32_t line = LineOf(editor.text, editor.caret) + lines;
    if (line < 0) return 0;
    const std::int32_t start = StartOfLine(editor.text, line);
    if (LineOf(editor.text, start) != line) return Length(editor);
    return std::min(start + column, LineEnd(editor.text, start));
}

void DeleteAround(EditorState& editor, bool forward)
{
    if (!HasSelection(editor)) {
        const std::int32_t other = forward ? StepRight(editor, editor.caret) : StepLeft(editor, editor.caret);
        if (other == editor.caret) return;
        editor.anchor = other;
    }
    ReplaceSelection(editor, u"");
}

void OnKeyDown(EditorState& editor, std::uint32_t key)
{
    switch (key) {
    case vk::Left: MoveCaret(editor, StepLeft(editor, editor.caret)); break;
    case vk::Right: MoveCaret(editor, StepRight(editor, editor.caret)); break;
    case vk::Up: MoveCaret(editor, VerticalStep(editor, -1)); break;
    case vk::Down: MoveCaret(editor, VerticalStep(editor, 1)); break;
    case vk::Home: MoveCaret(editor, LineStart(editor.text, editor.caret)); break;
    case vk::End: MoveCaret(editor, LineEnd(editor.text, editor.caret)); break;
    case vk::Delete: DeleteAround(editor, true); break;
    default: break;
    }
}

void OnChar(WindowHandle window, EditorState& editor, char16_t c)
{
    switch (c) {
    case kCtrlA: editor.anchor = 0; editor.caret = Length(editor); return;
    case kCtrlC: platform::SendWindowMessage(window, wm::Copy, 0, 0); return;
    case kCtrlV: platform::SendWindowMessage(window, wm::Paste, 0, 0); return;
    case kCtrlX: platform::SendWindowMessage(window, wm::Cut, 0, 0); return;
    case kCtrlZ: platform::SendWindowMessage(window, wm::Undo, 0, 0); return;
    case u'\b': DeleteAround(editor, false); return;
    case u'\r': ReplaceSelection(editor, u"\r\n"); return;
    case u'\t': ReplaceSelection(editor, u"\t"); return;
    default:
        // Other control characters (Escape among them) type nothing.
        if (c >= 0x20) ReplaceSelection(editor, std::u16string(1, c));
        return;
    }
}

void CopySelection(const EditorState& editor)
{
    if (HasSelection(editor)) platform::SetClipboardText(SelectedText(editor));
}

void Paste(EditorState& editor)
{
    const std::optional<std::u16string> text = platform::GetClipboardText();
    if (text && !text->empty()) ReplaceSelection(editor, *text);
}

bool IsWordCharacter(char16_t c) { return c > 0x20 && c != 0x7F; }

// A double click selects the word under the mouse (a run of characters
// other than blanks and line breaks).
void SelectWord(EditorState& editor, std::int32_t at)
{
    std::int32_t from = at;
    std::int32_t to = at;
    while (from > 0 && IsWordCharacter(editor.text[from - 1])) --from;
    while (to < Length(editor) && IsWordCharacter(editor.text[to])) ++to;
    editor.anchor = from;
    editor.caret = to;
}

platform::Point ClientPoint(LParam lParam)
{
    return platform::Point{platform::LowSigned(lParam), platform::HighSigned(lParam)};
}

void OnMouse(WindowHandle window, EditorState& editor, std::uint32_t message, LParam lParam)
{
    const std::int32_t at = PositionAtPoint(editor, ClientPoint(lParam));
    switch (message) {
    case wm::LeftButtonDown:
        platform::SetKeyboardFocus(window);
        platform::CapturePointer(window);
        editor.mouseSelecting = true;
        MoveCaret(editor, at);
        break;
    case wm::MouseMove:
        if (editor.mouseSelecting) editor.caret = at;
        break;
    case wm::LeftButtonUp:
        if (editor.mouseSelecting) platform::ReleasePointer();
        editor.mouseSelecting = false;
        break;
    case wm::LeftButtonDoubleClick: SelectWord(editor, at); break;
    default: break;
    }
}

void SetSelection(EditorState& editor, WParam start, LParam end)
{
    const std::int32_t length = Length(editor);
    const auto clamp = [length](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, length));
    };
    editor.anchor = clamp(static_cast<std::int64_t>(start));
    editor.caret = end < 0 ? length : clamp(end);
}

}  // namespace

platform::LResult EditControlProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    EditorState* editor = FindEditor(window);
    if (editor == nullptr) return platform::DefaultWindowProc(window, message, wParam, lParam);
    switch (message) {
    case wm::KeyDown: OnKeyDown(*editor, static_cast<std::uint32_t>(wParam)); return 0;
    case wm::Char: OnChar(window, *editor, static_cast<char16_t>(wParam)); return 0;
    case wm::Copy: CopySelection(*editor); return 0;
    case wm::Cut:
        if (HasSelection(*editor)) {
            CopySelection(*editor);
            ReplaceSelection(*editor, u"");
        }
        return 0;
    case wm::Paste: Paste(*editor); return 0;
    case wm::Undo: return UndoLastChange(*editor) ? 1 : 0;
    case platform::em::SetSelection: SetSelection(*editor, wParam, lParam); return 0;
    case wm::ImeComposition:
        if (lParam & platform::gcs::ResultString) {
            if (const std::optional<std::u16string> result = platform::GetCompositionResult(window))
                ReplaceSelection(*editor, *result);
        }
        return 0;
    case wm::LeftButtonDown:
    case wm::MouseMove:
    case wm::LeftButtonUp:
    case wm::LeftButtonDoubleClick: OnMouse(window, *editor, message, lParam); return 0;
    default: return platform::DefaultWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace sim::detail
