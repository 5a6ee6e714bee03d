// The sizes of a text's lines, with the lines of the text measured last kept
// for the next measure: only the lines between the first and the last
// difference from that text are measured again.
#include "edit/line_sizes.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using platform::FontHandle;
using platform::TextSize;

constexpr std::u16string_view kSpace = u" ";

struct MeasuredText {
    FontHandle font = 0;
    std::u16string text;
    std::vector<std::size_t> starts;  // where each line begins in the text
    std::vector<TextSize> sizes;      // each line's size
};
MeasuredText measured;

// Texts are compared a block at a time, and unit by unit only in the block
// where they differ: a megabyte compares in a fraction of a millisecond.
constexpr std::size_t kBlock = 512;

bool SameUnits(const char16_t* a, const char16_t* b, std::size_t count)
{
    return std::memcmp(a, b, count * sizeof(char16_t)) == 0;
}

std::size_t CommonPrefix(std::u16string_view a, std::u16string_view b)
{
    const std::size_t limit = std::min(a.size(), b.size());
    std::size_t n = 0;
    while (n + kBlock <= limit && SameUnits(a.data() + n, b.data() + n, kBlock)) n += kBlock;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

// The length of the common end of the two texts, at most `limit`.
std::size_t CommonSuffix(std::u16string_view a, std::u16string_view b, std::size_t limit)
{
    const char16_t* aEnd = a.data() + a.size();
    const char16_t* bEnd = b.data() + b.size();
    std::size_t n = 0;
    while (n + kBlock <= limit && SameUnits(aEnd - n - kBlock, bEnd - n - kBlock, kBlock)) n += kBlock;
    while (n < limit && aEnd[-1 - static_cast<std::ptrdiff_t>(n)] == bEnd[-1 - static_cast<std::ptrdiff_t>(n)]) ++n;
    return n;
}

// Appends the lines of `part`, which begins at `offset` in its text. A part
// that does not end the text ends in CR LF: the line after it is not its own.
void AppendLines(FontHandle font, std::u16string_view part, std::size_t offset, bool endsText, MeasuredText& out)
{
    const TextSize space = platform::MeasureText(font, kSpace);
    WalkLines(part, [&](std::int32_t, std::u16string_view line, bool last) {
        if (last && !endsText) return;
        out.starts.push_back(offset + static_cast<std::size_t>(line.data() - part.data()));
        out.sizes.push_back(LineSize(font, line, space));
    });
}

// Measures again the lines of the kept text that the new one changed. A line
// is kept when it and the CR LF that ends it lie before the first difference,
// or when it and the CR LF before it lie after the last: the lines of a text
// are where its CR LF pairs are, and a pair is one wherever it stands.
void Update(FontHandle font, std::u16string_view text)
{
    const std::u16string_view old = measured.text;
    const std::size_t prefix = CommonPrefix(old, text);
    if (prefix == old.size() && prefix == text.size()) return;
    const std::size_t suffix = CommonSuffix(old, text, std::min(old.size(), text.size()) - prefix);
    std::vector<std::size_t>& starts = measured.starts;
    const auto first = static_cast<std::size_t>(
        std::upper_bound(starts.begin() + 1, starts.end(), prefix) - (starts.begin() + 1));
    const auto end = static_cast<std::size_t>(
        std::lower_bound(starts.begin() + static_cast<std::ptrdiff_t>(first) + 1, starts.end(),
                         old.size() - suffix + 2) -
        starts.begin());
    const bool endsText = end == starts.size();
    const std::size_t from = starts[first];
    const std::size_t to = endsText ? text.size() : starts[end] + text.size() - old.size();

    MeasuredText changed;
    AppendLines(font, text.substr(from, to - from), from, endsText, changed);
    for (std::size_t i = end; i < starts.size(); ++i) starts[i] = starts[i] + text.size() - old.size();
    const auto splice = [&](auto& kept, const auto& fresh) {
        kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(first), kept.begin() + static_cast<std::ptrdiff_t>(end));
        kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(first), fresh.begin(), fresh.end());
    };
    splice(starts, changed.starts);
    splice(measured.sizes, changed.sizes);
    measured.text.replace(prefix, old.size() - prefix - suffix, text.substr(prefix, text.size() - prefix - suffix));
}

}  // namespace

TextSize LineSize(FontHandle font, std::u16string_view line, TextSize space)
{
    return line.empty() ? TextSize{0, space.height} : platform::MeasureText(font, line);
}

const std::vector<TextSize>& SizesOfLines(FontHandle font, std::u16string_view text)
{
    if (font != 0 && font == measured.font) {
        Update(font, text);
        return measured.sizes;
    }
    measured = MeasuredText{};
    AppendLines(font, text, 0, true, measured);
    if (font != 0) {
        measured.font = font;
        measured.text = text;
    }
    return measured.sizes;
}

void ForgetLineSizes() { measured = MeasuredText{}; }
