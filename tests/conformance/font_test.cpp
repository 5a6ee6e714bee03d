// Font objects: a description goes in, the realised description comes back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/font.h"

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

TEST(Fonts, SystemFontIsDescribed)
{
    FontDescription system;
    ASSERT_TRUE(DescribeSystemFont(system));
    EXPECT_NE(system.faceName[0], u'\0');
    EXPECT_NE(system.height, 0);
    EXPECT_GT(system.weight, 0);
}

}  // namespace
