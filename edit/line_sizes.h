// The lines of a note's text and their sizes, as the sizing counts them.
//
// A text's lines end only at CR LF; the last line is the text after the last
// CR LF (empty when the text is empty or ends in CR LF). A non-empty line is
// as large as its extent in the font, an empty one 0 wide and a space high.
//
// The editor's text is measured before every key. Its lines as measured last
// are kept, so that a text that differs from that one only in a few lines
// (a key, a paste, an undo) costs one comparison of the two texts and the
// measure of the lines that differ, not one extent per line of a long note.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"

// Calls visit(index, line, last) for each line of the text, the final one
// included.
template <typename Visit>
void WalkLines(std::u16string_view text, Visit visit)
{
    std::int32_t index = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(u"\r\n", start);
        if (end == std::u16string_view::npos) {
            visit(index, text.substr(start), true);
            return;
        }
        visit(index++, text.substr(start, end - start), false);
        start = end + 2;
    }
}

// A line's size. Its extent holds its tabs as drawn, each reaching to the
// next tab stop, so a tab adds nothing of its own.
platform::TextSize LineSize(platform::FontHandle font, std::u16string_view line, platform::TextSize space);

// The size of each line of the text, in order. Valid until the next call.
// A font handle of 0 (whatever font the device context holds) is measured
// afresh every time.
const std::vector<platform::TextSize>& SizesOfLines(platform::FontHandle font, std::u16string_view text);

// Lets go of the lines kept from the last measure (when editing ends: the
// copy of a long text is not kept for nothing).
void ForgetLineSizes();
