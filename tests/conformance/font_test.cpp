// Font objects: a description goes in, the realised description comes back.
// And the desktop's font families with their styles, as the font chooser
// lists them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/text.h"

namespace {

using namespace platform;

FontDescription Describe(std::int32_t height, std::int32_t weight, std::u16string_view face)
{
    FontDescription d;
    d.height = height;
    d.weight = weight;
    face.copy(d.faceName.data(), d.faceName.size() - 1);
    return d;
}

TEST(Fonts, RealisedDescriptionNamesAFaceAndASize)
{
    struct Case {
        const char* name;
        FontDescription asked;
    };
    const Case cases[] = {
        {"bold sans 20", Describe(-20, 700, u"Sans")},
        {"all defaults", Describe(0, 0, u"")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FontHandle font = CreateFontObject(c.asked);
        ASSERT_NE(font, 0u);
        FontDescription realised;
        ASSERT_TRUE(DescribeFontObject(font, realised));
        EXPECT_NE(realised.faceName[0], u'\0');
        EXPECT_NE(realised.height, 0);
        if (c.asked.weight != 0) {
            EXPECT_GE(realised.weight, 600) << "bold was lost";
        }
        if (c.asked.height != 0) {
            EXPECT_EQ(std::abs(realised.height), 20);
        }
        DeleteFontObject(font);
        EXPECT_FALSE(DescribeFontObject(font, realised));
    }
}

// Weight 0 is the normal weight; a positive height is taken as the size
// too; the three styles come back as asked.
TEST(Fonts, ZeroWeightIsNormalAndStylesAreKept)
{
    FontDescription asked = Describe(20, 0, u"Sans");
    asked.italic = 1;
    asked.underline = 1;
    asked.strikeOut = 1;
    const FontHandle font = CreateFontObject(asked);
    FontDescription realised;
    ASSERT_TRUE(DescribeFontObject(font, realised));
    EXPECT_EQ(realised.weight, 400);
    EXPECT_EQ(std::abs(realised.height), 20);
    EXPECT_EQ(realised.italic, 1);
    EXPECT_EQ(realised.underline, 1);
    EXPECT_EQ(realised.strikeOut, 1);
    DeleteFontObject(font);
}

TEST(Fonts, SystemFontIsDescribed)
{
    FontDescription system;
    ASSERT_TRUE(DescribeSystemFont(system));
    EXPECT_NE(system.faceName[0], u'\0');
    EXPECT_NE(system.height, 0);
    EXPECT_GT(system.weight, 0);
}

}  // namespace

namespace {

std::u16string FaceNameOf(const FontDescription& d)
{
    return std::u16string(d.faceName.data(), std::find(d.faceName.begin(), d.faceName.end(), u'\0'));
}

std::vector<FontFace> Families()
{
    std::vector<FontFace> families;
    EnumerateFontFamilies([&](const FontFace& face) {
        families.push_back(face);
        return true;
    });
    return families;
}

std::vector<FontFace> Styles(const std::u16string& family)
{
    std::vector<FontFace> styles;
    EnumerateFontStyles(family, [&](const FontFace& face) {
        styles.push_back(face);
        return true;
    });
    return styles;
}

TEST(FontFamilies, EachFamilyIsListedOnceByName)
{
    const std::vector<FontFace> families = Families();
    std::set<std::u16string> names;
    bool scalable = false;
    for (const FontFace& family : families) {
        const std::u16string name = FaceNameOf(family.description);
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(names.insert(name).second) << "listed twice: " << ToUtf8(name);
        EXPECT_NE(family.fontType & (fonttype::TrueType | fonttype::Raster), fonttype::TrueType | fonttype::Raster);
        scalable = scalable || (family.fontType & fonttype::TrueType) != 0;
    }
    EXPECT_TRUE(scalable) << "the desktop has no scalable family to choose";
    int visits = 0;
    EnumerateFontFamilies([&](const FontFace&) { return ++visits < 2; });
    EXPECT_EQ(visits, std::min<int>(2, static_cast<int>(families.size()))) << "answering false did not stop the listing";
}

// The regular style is the family's upright face of normal weight, and a
// font made from its description is that family.
TEST(FontFamilies, AScalableFamilysRegularStyleIsUprightNormalWeight)
{
    int regulars = 0;
    for (const FontFace& family : Families()) {
        if (!(family.fontType & fonttype::TrueType)) continue;
        const std::u16string name = FaceNameOf(family.description);
        SCOPED_TRACE(ToUtf8(name));
        const std::vector<FontFace> styles = Styles(name);
        EXPECT_FALSE(styles.empty());
        std::set<std::u16string> styleNames;
        for (const FontFace& style : styles) {
            EXPECT_TRUE(styleNames.insert(style.styleName).second) << "style twice: " << ToUtf8(style.styleName);
            EXPECT_EQ(FaceNameOf(style.description), name);
            if (style.styleName != u"Regular") continue;
            ++regulars;
            EXPECT_EQ(style.description.weight, 400);
            EXPECT_EQ(style.description.italic, 0);
            const FontHandle font = CreateFontObject(style.description);
            FontDescription realised;
            ASSERT_TRUE(DescribeFontObject(font, realised));
            EXPECT_EQ(FaceNameOf(realised), name);
            EXPECT_EQ(realised.italic, 0);
            DeleteFontObject(font);
        }
    }
    EXPECT_GT(regulars, 0) << "no scalable family has a regular style";
    EXPECT_TRUE(Styles(u"no such family here").empty());
}

// A family listed with the Japanese character set has Japanese glyphs, one
// listed without has none; the desktop's family for Japanese text has them.
TEST(FontFamilies, JapaneseGlyphsAgreeWithTheListingAndTheJapaneseFamilyHasThem)
{
    int checked[2] = {0, 0};
    for (const FontFace& family : Families()) {
        const bool japanese = family.description.charSet == 128;  // the Japanese (Shift-JIS) character set
        if (checked[japanese]++ >= 3) continue;  // a few of each kind: each answer asks the desktop anew
        EXPECT_EQ(FontFamilyHasJapanese(FaceNameOf(family.description)), japanese) << ToUtf8(FaceNameOf(family.description));
    }
    const std::u16string family = JapaneseFontFamily();
    ASSERT_FALSE(family.empty()) << "the desktop has no Japanese family (the tests install one)";
    EXPECT_TRUE(FontFamilyHasJapanese(family)) << ToUtf8(family);
    EXPECT_FALSE(FontFamilyHasJapanese(u"no such family here"));
}

}  // namespace
