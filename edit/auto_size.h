// Sizing a note to its text. While a note is edited it only grows, before a
// key, a composed text or a paste reaches the editor, as far as the text is
// about to need; outside editing FitNoteToText gives it the exact size of
// its text, shrinking as well as growing. A fixed note never changes size.
//
// A text's lines end only at CR LF (a lone CR or LF is an ordinary
// character), and a NUL ends the text. Sizes are in pixels, measured in the
// note's font; a note is its text's size plus a margin of 5 on every side.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/draw.h"
#include "platform/types.h"

inline constexpr std::int32_t kNoteTextMargin = 10;  // both sides together

// The lines of the editor's text: the width of the line that holds the
// caret (0 when no line has that index) and the size of the whole text.
// A non-empty line is as wide as its extent, which holds its tabs as they
// are drawn (each reaching the next tab stop); an empty line (the last one
// too, when the text is empty or ends in CR LF) is a space high and 0 wide.
struct EditorLines {
    std::int32_t caretLineWidth = 0;
    platform::TextSize size;
};
EditorLines MeasureEditorLines(std::int32_t caretLine, platform::FontHandle font, std::u16string_view text);

// The lines of a text block (a note's text, or a text about to be inserted),
// measured as the editor's lines are. The final empty line (text empty or
// ending in CR LF) counts a space high only when `addTrailingLine` is set.
// The first line's width (0 for an empty text), the last line's (0 when the
// text ends in CR LF or is empty), and whether the text has no CR LF.
struct TextBlock {
    platform::TextSize size;
    std::int32_t firstLineWidth = 0;
    std::int32_t lastLineWidth = 0;
    bool singleLine = true;
};
TextBlock MeasureTextBlock(platform::FontHandle font, std::u16string_view text, bool addTrailingLine);

// The note's rectangle, in `rect`, enlarged so that the editor's text still
// fits once `key` has acted on it. Non-zero when the rectangle was enlarged.
int EstimateKeyGrowth(platform::WindowHandle editor, platform::WindowHandle note, std::uint32_t key,
                      platform::Rect& rect);

// Grows the editor's note (and the editor with it) before the key, or the
// text, reaches the editor, when the estimate says the text would no longer
// fit. Never shrinks the note nor moves its top-left corner.
void GrowNoteForKey(platform::WindowHandle editor, std::uint32_t key);
void GrowNoteForInsert(platform::WindowHandle editor, std::u16string_view text);

// Grows the editor's note before a composition still in progress shows: the
// text with the composition in place of the selection fits, with room on the
// caret's line for one more key's character of the input method (110 % of a
// wide character), so that what is being composed is never out of view.
void GrowNoteForComposition(platform::WindowHandle editor, std::u16string_view composing);

// Sets the note's size from its text (26 x 26 for no text, never smaller),
// kept usable on the work area. 0 for a fixed note, else 1. An open editor
// is not moved.
int FitNoteToText(platform::WindowHandle note);
