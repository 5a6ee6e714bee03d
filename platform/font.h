// Fonts: the platform's 92-byte font description and the font objects made
// from it. A description read back from a font object tells the font as the
// platform realised it, which may differ from what was asked for.
#pragma once

#include <array>
#include <cstdint>

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

// A font object made from a description; 0 on failure.
FontHandle CreateFontObject(const FontDescription& description);

// The description of a font object as realised; false for an unknown handle.
bool DescribeFontObject(FontHandle font, FontDescription& out);

void DeleteFontObject(FontHandle font);

}  // namespace platform
