// The layout rules of the program's dialogs that both backends follow alike:
// dialog units to pixels, labels grown to fit their text, and the order of a
// sorted list box. Each backend measures its own font and text; these rules
// turn the measures into the same rectangles and orders. Internal to
// platform/.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/dialog_box.h"

namespace platform::shared {

// The dialog font's average character width and character height, pixels.
struct BaseUnits {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The base units of a font from its letters' average width, the width of a
// full-width (Japanese) character and its height. The layouts were drawn
// for a font whose full-width characters are narrower than two average
// characters, as their longest Japanese labels need: a full-width character
// counts here as at most 1.8 average characters, so that those labels fit
// whatever the desktop's font makes of its letters.
constexpr BaseUnits BaseUnitsOf(std::int32_t averageLetter, std::int32_t fullWidth, std::int32_t height)
{
    const std::int32_t forFullWidth = (fullWidth * 10 + 17) / 18;  // rounded up
    return BaseUnits{averageLetter > forFullWidth ? averageLetter : forFullWidth, height};
}

// value × numerator / denominator, rounded half away from zero, as the
// dialog templates were always mapped.
constexpr std::int32_t ScaleRounded(std::int32_t value, std::int32_t numerator, std::int32_t denominator)
{
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<std::int32_t>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// A horizontal dialog unit is a quarter of the average character width, a
// vertical one an eighth of the character height. Each edge is mapped on its
// own, so controls that touch in units touch in pixels.
constexpr Rect ToPixels(const DialogRect& r, BaseUnits units)
{
    return Rect{ScaleRounded(r.x, units.x, 4), ScaleRounded(r.y, units.y, 8),
                ScaleRounded(r.x + r.width, units.x, 4), ScaleRounded(r.y + r.height, units.y, 8)};
}

// Which way a label grows when its text needs more room.
enum class Growth { None, Right, Left, Both };

// The way an item's text is aligned decides where it can grow: left-aligned
// text and the texts of check boxes and radio buttons to the right,
// right-aligned text to the left, centred text to both sides. Buttons, edit
// boxes, lists and icons keep their rectangles.
inline Growth GrowthOf(const DialogItem& item)
{
    const std::uint32_t button = item.style & bs::KindMask;
    switch (item.kind) {
    case ControlClass::Button:
        return button == bs::AutoCheckBox || button == bs::RadioButton ? Growth::Right : Growth::None;
    case ControlClass::Static:
        switch (item.style & ss::KindMask) {
        case ss::Left: return Growth::Right;
        case ss::Right: return Growth::Left;
        case ss::Center: return Growth::Both;
        default: return Growth::None;
        }
    default: return Growth::None;
    }
}

struct LaidOutItem {
    Rect bounds;               // in the dialog's client area, pixels
    std::int32_t needed = 0;   // the width its text and decoration need
    Growth growth = Growth::None;
};

// Widens every label whose text does not fit, without crossing the dialog's
// edges or reaching within `gap` pixels of a control beside it on its row.
// Only the rectangles as laid out count as obstacles, so the result does not
// depend on the order of the items.
inline void FitLabels(std::vector<LaidOutItem>& items, std::int32_t clientWidth, std::int32_t gap)
{
    std::vector<Rect> original;
    for (const LaidOutItem& item : items) original.push_back(item.bounds);
    for (std::size_t i = 0; i < items.size(); ++i) {
        LaidOutItem& item = items[i];
        const std::int32_t extra = item.needed - item.bounds.Width();
        if (item.growth == Growth::None || extra <= 0) continue;
        std::int32_t leftLimit = 0;
        std::int32_t rightLimit = clientWidth;
        for (std::size_t j = 0; j < items.size(); ++j) {
            const Rect& other = original[j];
            const bool sameRow = other.top < original[i].bottom && other.bottom > original[i].top;
            if (j == i || !sameRow) continue;
            if (other.left >= original[i].right) rightLimit = std::min(rightLimit, other.left - gap);
            if (other.right <= original[i].left) leftLimit = std::max(leftLimit, other.right + gap);
        }
        Rect& b = item.bounds;
        switch (item.growth) {
        case Growth::Right: b.right = std::max(b.right, std::min(b.left + item.needed, rightLimit)); break;
        case Growth::Left: b.left = std::min(b.left, std::max(b.right - item.needed, leftLimit)); break;
        case Growth::Both:
            b.left = std::min(b.left, std::max(b.left - extra / 2, leftLimit));
            b.right = std::max(b.right, std::min(b.right + (extra - extra / 2), rightLimit));
            break;
        case Growth::None: break;
        }
    }
}

// The order of a sorted list: upper and lower case alike for the letters
// A to Z, then by code unit, so that both backends sort every name the same.
inline int CompareListText(std::u16string_view a, std::u16string_view b)
{
    auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = fold(a[i]);
        const char16_t y = fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

// Where a new item goes in a sorted list: after every item that does not
// sort after it.
template <typename Items, typename TextOf>
int SortedInsertIndex(const Items& items, std::u16string_view text, TextOf textOf)
{
    int index = 0;
    for (const auto& item : items) {
        if (CompareListText(textOf(item), text) > 0) break;
        ++index;
    }
    return index;
}

}  // namespace platform::shared
