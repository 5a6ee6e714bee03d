// Sizing a note to its text. Every key in the editor measures the editor's
// text, the lines that changed since the last measure again
// (edit/line_sizes.h). Start reading at EstimateKeyGrowth and FitNoteToText.
#include "edit/auto_size.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "edit/editor.h"
#include "edit/line_sizes.h"
#include "note/clamp.h"
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/window.h"
#include "store/records.h"

namespace {

using platform::FontHandle;
using platform::Rect;
using platform::TextSize;
using platform::WindowHandle;

// The references a note's text is measured against: a half-width character
// (the growth per key with the input method closed, a new line's height),
// a full-width one (the growth per key with it open), a space (an empty
// line, the italic allowance) and a tab (how far one tab can reach).
constexpr std::u16string_view kNarrow = u"W";
constexpr std::u16string_view kWide = u"付";
constexpr std::u16string_view kSpace = u" ";
constexpr std::u16string_view kTab = u"\t";
constexpr std::int32_t kWidesForTab = 5;  // the growth on the Tab key, in wide characters
constexpr std::int32_t kEditorInset = kNoteTextMargin / 2;

// Keys that type nothing: control keys, the keys that move the caret or
// the view (Page Up to Down), Insert, Delete and the function keys.
bool IsKeyThatNeverWidens(std::uint32_t key)
{
    namespace vk = platform::vk;
    return key < 32 || (key >= vk::PageUp && key <= vk::Delete) || (key >= vk::F1 && key <= vk::F24);
}

const NoteRecord* NoteOf(WindowHandle note) { return FindNote(note); }

FontHandle FontOf(WindowHandle note)
{
    const NoteRecord* record = NoteOf(note);
    return record == nullptr ? 0 : record->fontHandle;
}

// Moves the note to the rectangle and lays the editor over it again, 5
// pixels inside its edges.
void ResizeNoteAndEditor(WindowHandle note, WindowHandle editor, Rect rect)
{
    platform::MoveAppWindow(note, rect, true);
    platform::MoveChildWindow(editor,
                              Rect{kEditorInset, kEditorInset, rect.Width() - kEditorInset,
                                   rect.Height() - kEditorInset},
                              true);
}

}  // namespace

EditorLines MeasureEditorLines(std::int32_t caretLine, FontHandle font, std::u16string_view text)
{
    const std::vector<TextSize>& sizes = SizesOfLines(font, text);
    EditorLines out;
    if (caretLine >= 0 && static_cast<std::size_t>(caretLine) < sizes.size())
        out.caretLineWidth = sizes[static_cast<std::size_t>(caretLine)].width;
    for (const TextSize& size : sizes) {
        out.size.width = std::max(out.size.width, size.width);
        out.size.height += size.height;
    }
    return out;
}

TextBlock MeasureTextBlock(FontHandle font, std::u16string_view text, bool addTrailingLine)
{
    const TextSize space = platform::MeasureText(font, kSpace);
    TextBlock out;
    WalkLines(text, [&](std::int32_t index, std::u16string_view line, bool last) {
        if (index > 0) out.singleLine = false;
        if (last && line.empty()) {
            if (addTrailingLine) out.size.height += space.height;
            return;
        }
        const TextSize size = LineSize(font, line, space);
        if (index == 0) out.firstLineWidth = size.width;
        if (last) out.lastLineWidth = size.width;
        out.size.width = std::max(out.size.width, size.width);
        out.size.height += size.height;
    });
    return out;
}

int EstimateKeyGrowth(WindowHandle editor, WindowHandle note, std::uint32_t key, Rect& rect)
{
    const NoteRecord* record = NoteOf(note);
    if (record == nullptr || record->fixed != 0) return 0;
    rect = platform::GetWindowBounds(note);
    const Rect client = platform::GetClientRect(editor);
    // Without a copy of the text nothing can be measured: this key does not
    // grow the note, and the next one measures again.
    const std::optional<std::u16string> text = GetEditorText(editor);
    if (!text) return 0;
    const FontHandle font = record->fontHandle;
    const TextSize wide = platform::MeasureText(font, kWide);
    const TextSize narrow = platform::MeasureText(font, kNarrow);
    const EditorLines lines = MeasureEditorLines(platform::GetEditorCaretLine(editor), font, *text);
    const std::int32_t caretLine = lines.caretLineWidth;

    std::int32_t x = 0;
    if (key == platform::vk::Tab) {
        // A tab reaches at most one tab stop further, however wide the stops are.
        x = caretLine + std::max(kWidesForTab * wide.width, platform::MeasureText(font, kTab).width);
    } else if (IsKeyThatNeverWidens(key)) {
        x = std::min(caretLine, client.Width());
    } else {
        const std::int32_t reference = platform::IsInputMethodOpen(editor) ? wide.width : narrow.width;
        x = caretLine + reference * 11 / 10;
    }
    x = std::max(x, lines.size.width);
    const std::int32_t y = lines.size.height + (key == platform::vk::Return ? narrow.height : 0);

    const Rect before = rect;
    if (x > client.Width()) rect.right = rect.left + x + kNoteTextMargin;
    if (y > client.Height()) rect.bottom = rect.top + y + kNoteTextMargin;
    return rect == before ? 0 : 1;
}

void GrowNoteForKey(WindowHandle editor, std::uint32_t key)
{
    const WindowHandle note = platform::GetParentWindow(editor);
    const Rect before = platform::GetWindowBounds(note);
    Rect grown;
    if (EstimateKeyGrowth(editor, note, key, grown) == 0) return;
    ResizeNoteAndEditor(note, editor,
                        Rect{grown.left, grown.top, std::max(grown.right, before.right),
                             std::max(grown.bottom, before.bottom)});
}

void GrowNoteForInsert(WindowHandle editor, std::u16string_view inserted)
{
    const WindowHandle note = platform::GetParentWindow(editor);
    const Rect before = platform::GetWindowBounds(note);
    const FontHandle font = FontOf(note);
    const std::int32_t narrow = platform::MeasureText(font, kNarrow).width;
    const TextBlock insert = MeasureTextBlock(font, inserted, true);

    // A text that cannot be copied counts as empty, caret at its start.
    EditorLines lines;
    std::int32_t caretX = 0;
    if (const std::optional<std::u16string> text = GetEditorText(editor)) {
        lines = MeasureEditorLines(platform::GetEditorCaretLine(editor), font, *text);
        caretX = platform::GetEditorCaretPosition(editor).x;
    }
    const std::int32_t rest = std::max(0, lines.caretLineWidth - caretX);

    std::int32_t x = 0;
    if (insert.singleLine) {
        x = std::max(lines.size.width, caretX + insert.size.width + rest + narrow);
    } else {
        x = std::max({insert.size.width + narrow, lines.size.width, caretX + insert.firstLineWidth + narrow,
                      insert.lastLineWidth + rest + narrow});
    }
    const std::int32_t right = before.left + x;
    const std::int32_t bottom = before.top + lines.size.height + insert.size.height;
    if (right <= before.right && bottom <= before.bottom) return;
    ResizeNoteAndEditor(note, editor,
                        Rect{before.left, before.top, std::max(right, before.right), std::max(bottom, before.bottom)});
}

void GrowNoteForComposition(WindowHandle editor, std::u16string_view composing)
{
    std::optional<std::u16string> text = GetEditorText(editor);
    if (!text) return;
    const platform::TextSelection selection = platform::GetEditorSelection(editor);
    const std::size_t start = std::min<std::size_t>(selection.start, text->size());
    const std::size_t end = std::clamp<std::size_t>(selection.end, start, text->size());
    text->replace(start, end - start, composing);
    std::int32_t caretLine = 0;
    WalkLines(std::u16string_view(*text).substr(0, start), [&](std::int32_t index, auto, bool) { caretLine = index; });

    const WindowHandle note = platform::GetParentWindow(editor);
    const FontHandle font = FontOf(note);
    const std::int32_t wide = platform::MeasureText(font, kWide).width;
    const EditorLines lines = MeasureEditorLines(caretLine, font, *text);
    const std::int32_t x = std::max(lines.size.width, lines.caretLineWidth + wide * 11 / 10);
    const Rect client = platform::GetClientRect(editor);
    Rect rect = platform::GetWindowBounds(note);
    const Rect before = rect;
    if (x > client.Width()) rect.right = std::max(rect.right, rect.left + x + kNoteTextMargin);
    if (lines.size.height > client.Height())
        rect.bottom = std::max(rect.bottom, rect.top + lines.size.height + kNoteTextMargin);
    if (rect != before) ResizeNoteAndEditor(note, editor, rect);
}

int FitNoteToText(WindowHandle window)
{
    const NoteRecord* note = NoteOf(window);
    if (note == nullptr || note->fixed != 0) return 0;
    Rect rect = platform::GetWindowBounds(window);
    std::int32_t width = kMinNoteExtent;
    std::int32_t height = kMinNoteExtent;
    if (HasText(*note)) {
        const TextBlock block = MeasureTextBlock(note->fontHandle, *note->text, false);
        // An italic font leans out of its extent by about half a space.
        const std::int32_t lean =
            note->font.italic != 0 ? platform::MeasureText(note->fontHandle, kSpace).width / 2 : 0;
        width = std::max(block.size.width + kNoteTextMargin + lean, kMinNoteExtent);
        height = std::max(block.size.height + kNoteTextMargin, kMinNoteExtent);
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    ClampNoteRect(rect);
    platform::MoveAppWindow(window, rect, true);
    return 1;
}
