// Fixed-metric fonts of the simulation: a font object keeps the description
// it was made from, with the blanks filled in as a real font mapper would
// (a default size, normal weight, a face that exists). The desktop's
// families are a fixed list that has what the font chooser must tell apart:
// scalable families (one naming its regular style "標準"), a bitmap family,
// a vertical-writing "@" family and a family without a regular style.
#include <string_view>

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

struct SimStyle {
    std::u16string_view name;
    std::int32_t weight;
    bool italic;
};

struct SimFamily {
    std::u16string_view name;
    std::uint32_t fontType;
    std::uint8_t charSet;
    std::vector<SimStyle> styles;
};

constexpr std::uint8_t kAnsiCharSet = 0;

const std::vector<SimFamily>& Families()
{
    static const std::vector<SimFamily> families = {
        {u"SimSans", fonttype::TrueType, kAnsiCharSet,
         {{u"Regular", 400, false}, {u"Bold", 700, false}, {u"Italic", 400, true}, {u"Bold Italic", 700, true}}},
        {u"SimSerif", fonttype::TrueType, kAnsiCharSet, {{u"Bold", 700, false}, {u"Regular", 400, false}}},
        {u"Sim明朝", fonttype::TrueType, kShiftJisCharSet, {{u"標準", 400, false}, {u"太字", 700, false}}},
        {u"SimFixed", fonttype::Raster, kAnsiCharSet, {{u"Regular", 400, false}}},
        {u"@Sim明朝", fonttype::TrueType, kShiftJisCharSet, {{u"標準", 400, false}}},
        {u"SimThin", fonttype::TrueType, kAnsiCharSet, {{u"Light", 300, false}, {u"Bold", 700, false}}},
    };
    return families;
}

FontFace FaceOf(const SimFamily& family, const SimStyle& style)
{
    FontFace face;
    face.description.weight = style.weight;
    face.description.italic = style.italic ? 1 : 0;
    face.description.charSet = family.charSet;
    SetFaceName(face.description, family.name);
    face.styleName = style.name;
    face.fontType = family.fontType;
    return face;
}

}  // namespace

void EnumerateFontFamilies(const FontFaceVisitor& visit)
{
    for (const SimFamily& family : Families())
        if (!visit(FaceOf(family, family.styles.front()))) return;
}

void EnumerateFontStyles(const std::u16string& name, const FontFaceVisitor& visit)
{
    for (const SimFamily& family : Families()) {
        if (family.name != name) continue;
        for (const SimStyle& style : family.styles)
            if (!visit(FaceOf(family, style))) return;
    }
}

bool DescribeSystemFont(FontDescription& out)
{
    if (TheWorld().systemFont) {
        out = *TheWorld().systemFont;
        return true;
    }
    out = FontDescription{};
    out.height = kDefaultHeight;
    out.weight = kBoldWeight;
    out.charSet = kShiftJisCharSet;
    SetFaceName(out, u"System");
    return true;
}

// A family has Japanese glyphs when it is listed with the Japanese character
// set; so has the system font's face when its description says so.
bool FontFamilyHasJapanese(const std::u16string& family)
{
    FontDescription system;
    DescribeSystemFont(system);
    if (family == system.faceName.data()) return system.charSet == kShiftJisCharSet;
    for (const SimFamily& listed : Families())
        if (listed.name == family) return listed.charSet == kShiftJisCharSet;
    return false;
}

// The first listed Japanese family that is written across, not down.
std::u16string JapaneseFontFamily()
{
    for (const SimFamily& family : Families())
        if (family.charSet == kShiftJisCharSet && family.name.front() != u'@') return std::u16string(family.name);
    return {};
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

namespace sim {

void SetSystemFont(const platform::FontDescription& font) { detail::TheWorld().systemFont = font; }

}  // namespace sim
