// Fonts: the platform's 92-byte font description and the font objects made
// from it. A description read back from a font object tells the font as the
// platform realised it, which may differ from what was asked for.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/types.h"

namespace platform {

struct FontDescription {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::array<char16_t, 32> faceName{};
    friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

// The description of the system's stock font; false when none can be given.
bool DescribeSystemFont(FontDescription& out);

// Whether the family's faces have Japanese glyphs of their own (a family
// without them borrows another face's, which measures differently).
bool FontFamilyHasJapanese(const std::u16string& family);

// The family the desktop gives Japanese text, which has Japanese glyphs;
// empty when the desktop has no such family.
std::u16string JapaneseFontFamily();

// A font object made from a description; 0 on failure.
FontHandle CreateFontObject(const FontDescription& description);

// The description of a font object as realised; false for an unknown handle.
bool DescribeFontObject(FontHandle font, FontDescription& out);

void DeleteFontObject(FontHandle font);

// The desktop's font families and their styles. A family's font type has
// fonttype::TrueType when its faces are scalable outlines (TrueType,
// OpenType or CFF) and fonttype::Raster when they are bitmaps.
namespace fonttype {
inline constexpr std::uint32_t Raster = 0x1;
inline constexpr std::uint32_t TrueType = 0x4;
}  // namespace fonttype

struct FontFace {
    FontDescription description;  // the face name is the family's name
    std::u16string styleName;
    std::uint32_t fontType = 0;   // fonttype::
};

// Called once per family or style; answering false ends the enumeration.
using FontFaceVisitor = std::function<bool(const FontFace&)>;

// Every font family once, each with the description of one of its faces.
void EnumerateFontFamilies(const FontFaceVisitor& visit);

// Every style of one family with its full description. The family's
// upright face of normal weight is reported as "Regular", whatever the
// desktop calls it ("Book", "Normal", "Roman", ...), with weight 400.
void EnumerateFontStyles(const std::u16string& family, const FontFaceVisitor& visit);

}  // namespace platform
