// The lines of a text to draw, shared by the backends so that both break a
// text the same way: a line ends at CR LF, CR or LF; a NUL is a character
// like any other (shown as a sign of its own). Drawing takes one line at a
// time and stops at the rectangle's bottom, so a paint costs the lines it
// shows, not the whole text. Internal to platform/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace platform::shared {

inline bool EndsLine(char16_t c) { return c == u'\r' || c == u'\n'; }

// The position of the break (or the end) that ends the line
// starting at `from`. A line of a megabyte is passed over in well under a
// millisecond: four units are looked at in one step, and only a unit below
// U+000E can end a line.
inline std::size_t LineEnd(std::u16string_view text, std::size_t from)
{
    constexpr std::uint64_t kOnes = 0x0001000100010001ull;
    constexpr std::uint64_t kHighBits = 0x8000800080008000ull;
    std::size_t i = from;
    while (i < text.size()) {
        if (i + 4 <= text.size()) {
            std::uint64_t units = 0;
            std::memcpy(&units, text.data() + i, sizeof units);
            // Sets a lane's high bit only if some lane is below 0x000E.
            if (((units - kOnes * 0x000E) & ~units & kHighBits) == 0) {
                i += 4;
                continue;
            }
        }
        const std::size_t stop = i + 4 < text.size() ? i + 4 : text.size();
        for (; i < stop; ++i)
            if (EndsLine(text[i])) return i;
    }
    return text.size();
}

// Where the next line starts after the line that ends at `end`, or nothing
// when the text ends there. CR LF is one break; a lone CR or LF is one too.
inline bool NextLine(std::u16string_view text, std::size_t end, std::size_t& next)
{
    if (end >= text.size()) return false;
    next = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    return true;
}

}  // namespace platform::shared
