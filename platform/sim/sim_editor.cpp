// The simulated editor control: a child window whose text lives in the
// world as CR LF text with a selection, a modification flag and undo steps,
// measured with the sim's fixed-metric font (a line is the font's height
// high; tabs stop every eight half-height widths, as notes paint them). The
// control does not scroll: its caret is where the text puts it.
#include "platform/sim/sim_editor.h"

#include <algorithm>
#include <new>

#include "platform/editor.h"

namespace sim::detail {

namespace {

bool IsBreakAt(std::u16string_view text, std::int32_t i)
{
    return i + 1 < static_cast<std::int32_t>(text.size()) && text[i] == u'\r' && text[i + 1] == u'\n';
}

}  // namespace

EditorState* FindEditor(WindowHandle editor)
{
    auto& editors = TheWorld().editors;
    auto it = editors.find(editor);
    return it == editors.end() ? nullptr : &it->second;
}

std::u16string WithCrLf(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            out += u"\r\n";
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::int32_t LineOf(std::u16string_view text, std::int32_t position)
{
    std::int32_t line = 0;
    for (std::int32_t i = 0; i + 2 <= position; ++i)
        if (IsBreakAt(text, i)) ++line;
    return line;
}

std::int32_t LineStart(std::u16string_view text, std::int32_t position)
{
    std::int32_t start = position;
    while (start > 0 && !(start >= 2 && IsBreakAt(text, start - 2))) --start;
    return start;
}

std::int32_t LineEnd(std::u16string_view text, std::int32_t position)
{
    std::int32_t end = position;
    while (end < static_cast<std::int32_t>(text.size()) && !IsBreakAt(text, end)) ++end;
    return end;
}

std::int32_t StartOfLine(std::u16string_view text, std::int32_t line)
{
    std::int32_t start = 0;
    for (std::int32_t i = 0; i < line; ++i) {
        const std::int32_t end = LineEnd(text, start);
        if (end >= static_cast<std::int32_t>(text.size())) break;
        start = end + 2;
    }
    return start;
}

platform::Point PointOfPosition(const EditorState& editor, std::int32_t position)
{
    const std::int32_t height = FontHeight(editor.font);
    std::int32_t x = 0;
    for (std::int32_t i = LineStart(editor.text, position); i < position; ++i) x = Advance(x, editor.text[i], height);
    return platform::Point{x, LineOf(editor.text, position) * height};
}

std::int32_t PositionAtPoint(const EditorState& editor, platform::Point point)
{
    const std::int32_t height = std::max(FontHeight(editor.font), 1);
    const std::int32_t start = StartOfLine(editor.text, std::max(point.y, 0) / height);
    const std::int32_t end = LineEnd(editor.text, start);
    std::int32_t position = start;
    // The caret goes to the nearer edge of the character under the point.
    while (position < end) {
        const std::int32_t left = PointOfPosition(editor, position).x;
        const std::int32_t right = PointOfPosition(editor, position + 1).x;
        if (point.x < (left + right + 1) / 2) break;
        ++position;
    }
    return position;
}

void ReplaceSelection(EditorState& editor, std::u16string_view text)
{
    editor.undo.push_back({editor.text, editor.anchor, editor.caret});
    const std::int32_t from = std::min(editor.anchor, editor.caret);
    const std::int32_t to = std::max(editor.anchor, editor.caret);
    const std::u16string inserted = WithCrLf(text);
    editor.text.replace(from, to - from, inserted);
    editor.anchor = editor.caret = from + static_cast<std::int32_t>(inserted.size());
    editor.modified = true;
}

bool UndoLastChange(EditorState& editor)
{
    if (editor.undo.empty()) return false;
    const EditorSnapshot before = std::move(editor.undo.back());
    editor.undo.pop_back();
    editor.text = before.text;
    editor.anchor = before.anchor;
    editor.caret = before.caret;
    // Undoing is a change of the user's too.
    editor.modified = true;
    return true;
}

}  // namespace sim::detail

namespace platform {

using sim::detail::EditorState;
using sim::detail::FindEditor;
using sim::detail::FindWindow;
using sim::detail::TheWorld;

WindowHandle CreateEditorControl(WindowHandle parent, int childId, Rect bounds, FontHandle font)
{
    if (!IsLiveWindow(parent) || FindWindow(parent)->parent != 0) return 0;
    const WindowHandle handle = sim::detail::NextWindowHandle();
    sim::detail::SimWindow window;
    window.className = u"EDIT";
    window.bounds = bounds;
    window.shown = true;
    window.proc = sim::detail::EditControlProc;
    window.parent = parent;
    window.childId = childId;
    TheWorld().windows.emplace(handle, window);
    EditorState editor;
    editor.font = font;
    TheWorld().editors.emplace(handle, editor);
    return handle;
}

WindowHandle GetParentWindow(WindowHandle window)
{
    const sim::detail::SimWindow* w = FindWindow(window);
    return w == nullptr ? 0 : w->parent;
}

bool MoveChildWindow(WindowHandle child, Rect bounds, bool repaint)
{
    if (GetParentWindow(child) == 0) return false;
    return MoveAppWindow(child, bounds, repaint);
}

Rect GetClientRect(WindowHandle window)
{
    const Rect r = GetWindowBounds(window);
    return Rect{0, 0, r.Width(), r.Height()};
}

WindowProcFn SetWindowProcedure(WindowHandle window, WindowProcFn proc)
{
    sim::detail::SimWindow* w = FindWindow(window);
    if (w == nullptr) return nullptr;
    const WindowProcFn old = w->proc;
    w->proc = proc;
    return old;
}

LResult CallWindowProcedure(WindowProcFn proc, WindowHandle window, std::uint32_t message, WParam wParam,
                            LParam lParam)
{
    return proc == nullptr ? 0 : proc(window, message, wParam, lParam);
}

void SetEditorText(WindowHandle window, std::u16string_view text)
{
    EditorState* editor = FindEditor(window);
    if (editor == nullptr) return;
    editor->text = sim::detail::WithCrLf(text);
    editor->anchor = editor->caret = 0;
    editor->modified = false;
    editor->undo.clear();
}

std::u16string GetEditorText(WindowHandle window)
{
    int& countdown = TheWorld().failEditorTextCopyCountdown;
    if (countdown > 0 && --countdown == 0) throw std::bad_alloc();
    const EditorState* editor = FindEditor(window);
    return editor == nullptr ? std::u16string{} : editor->text;
}

std::int32_t GetEditorTextLength(WindowHandle window)
{
    const EditorState* editor = FindEditor(window);
    return editor == nullptr ? 0 : static_cast<std::int32_t>(editor->text.size());
}

bool IsEditorModified(WindowHandle window)
{
    const EditorState* editor = FindEditor(window);
    return editor != nullptr && editor->modified;
}

TextSelection GetEditorSelection(WindowHandle window)
{
    const EditorState* editor = FindEditor(window);
    if (editor == nullptr) return {};
    return {std::min(editor->anchor, editor->caret), std::max(editor->anchor, editor->caret)};
}

std::int32_t GetEditorCaretLine(WindowHandle window)
{
    const EditorState* editor = FindEditor(window);
    return editor == nullptr ? 0 : sim::detail::LineOf(editor->text, editor->caret);
}

Point GetEditorCaretPosition(WindowHandle window)
{
    const EditorState* editor = FindEditor(window);
    return editor == nullptr ? Point{} : sim::detail::PointOfPosition(*editor, editor->caret);
}

bool EditorCanUndo(WindowHandle window)
{
    const EditorState* editor = FindEditor(window);
    return editor != nullptr && !editor->undo.empty();
}

}  // namespace platform

namespace sim {

void FailNthEditorTextCopy(int n) { detail::TheWorld().failEditorTextCopyCountdown = n; }

}  // namespace sim
