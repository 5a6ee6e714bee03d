// Asking the system for room before a text is laid out: the address space
// may be limited (ulimit -v) or the system may refuse to promise more, and a
// mapping of the size asked for, made and undone at once, tells which
// without touching a page.
#include <sys/mman.h>

#include <algorithm>
#include <limits>

#include "platform/memory.h"
#include "platform/shared/text_lines.h"

namespace platform {
namespace {

// What laying out one unit of a line takes at its peak on the desktop: the
// script analysis, the shaping buffers and the glyph arrays of the whole
// line (a line of 20 million units took about 500 MB, 25 bytes a unit).
constexpr std::size_t kLayoutBytesPerUnit = 32;
// Lines shorter than this take too little to matter.
constexpr std::size_t kLongLine = std::size_t{1} << 16;

std::size_t LongestLine(std::u16string_view text)
{
    std::size_t longest = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = shared::LineEnd(text, start);
        longest = std::max(longest, end - start);
        if (!shared::NextLine(text, end, start)) return longest;
    }
}

}  // namespace

bool HasRoomToLayOut(std::u16string_view text)
{
    const std::size_t longest = LongestLine(text);
    if (longest < kLongLine) return true;
    if (longest > std::numeric_limits<std::size_t>::max() / kLayoutBytesPerUnit) return false;
    const std::size_t bytes = longest * kLayoutBytesPerUnit;
    void* room = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (room == MAP_FAILED) return false;
    ::munmap(room, bytes);
    return true;
}

}  // namespace platform
