// Fixed-metric fonts of the simulation: a font object keeps the description
// it was made from, with the blanks filled in as a real font mapper would
// (a default size, normal weight, a face that exists).
#include "platform/sim/sim_world.h"

namespace platform {

using sim::detail::TheWorld;

namespace {

constexpr std::int32_t kDefaultHeight = -12;  // 12-pixel characters
constexpr std::int32_t kNormalWeight = 400;
constexpr std::int32_t kBoldWeight = 700;
constexpr std::uint8_t kShiftJisCharSet = 128;

void SetFaceName(FontDescription& font, std::u16string_view face)
{
    font.faceName.fill(0);
    face.copy(font.faceName.data(), font.faceName.size() - 1);
}

FontDescription Realise(FontDescription font)
{
    if (font.height == 0) font.height = kDefaultHeight;
    if (font.weight == 0) font.weight = kNormalWeight;
    if (font.faceName[0] == 0) SetFaceName(font, u"SimSans");
    font.faceName.back() = 0;
    return font;
}

}  // namespace

bool DescribeSystemFont(FontDescription& out)
{
    out = FontDescription{};
    out.height = kDefaultHeight;
    out.weight = kBoldWeight;
    out.charSet = kShiftJisCharSet;
    SetFaceName(out, u"System");
    return true;
}

FontHandle CreateFontObject(const FontDescription& description)
{
    const FontHandle font = sim::detail::NextFontHandle();
    TheWorld().fonts.emplace(font, Realise(description));
    return font;
}

bool DescribeFontObject(FontHandle font, FontDescription& out)
{
    const auto& fonts = TheWorld().fonts;
    auto it = fonts.find(font);
    if (it == fonts.end()) return false;
    out = it->second;
    return true;
}

void DeleteFontObject(FontHandle font) { TheWorld().fonts.erase(font); }

}  // namespace platform
