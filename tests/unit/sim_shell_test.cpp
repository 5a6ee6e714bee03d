// The sim backend's shell, fonts and input method.
#include "platform/font.h"
#include "platform/ime.h"
#include "platform/shell.h"
#include "sim_fixture.h"

namespace {

using namespace platform;

using SimShell = SimTest;

TEST_F(SimShell, FontsFillTheirBlanksAndKeepTheRest)
{
    FontDescription asked;
    asked.italic = 1;
    asked.charSet = 128;
    FontDescription realised;
    const FontHandle blank = CreateFontObject(asked);
    ASSERT_TRUE(DescribeFontObject(blank, realised));
    EXPECT_EQ(realised.height, -12);
    EXPECT_EQ(realised.weight, 400);
    EXPECT_EQ(std::u16string(realised.faceName.data()), u"SimSans");
    EXPECT_EQ(realised.italic, 1);
    EXPECT_EQ(realised.charSet, 128);

    asked.height = 30;
    asked.weight = 700;
    const std::u16string face = u"MS UI Gothic";
    face.copy(asked.faceName.data(), face.size());
    const FontHandle given = CreateFontObject(asked);
    ASSERT_TRUE(DescribeFontObject(given, realised));
    EXPECT_EQ(realised, asked);
    EXPECT_NE(given, blank);

    FontDescription system;
    ASSERT_TRUE(DescribeSystemFont(system));
    EXPECT_EQ(std::u16string(system.faceName.data()), u"System");
    EXPECT_EQ(system.height, -12);
}

TEST_F(SimShell, InputMethodIsOpenPerWindow)
{
    const WindowHandle a = Make();
    const WindowHandle b = Make();
    EXPECT_FALSE(IsInputMethodOpen(a));
    EXPECT_TRUE(SetInputMethodOpen(a, true));
    EXPECT_TRUE(IsInputMethodOpen(a));
    EXPECT_FALSE(IsInputMethodOpen(b));
    EXPECT_TRUE(SetInputMethodOpen(a, false));
    EXPECT_FALSE(IsInputMethodOpen(a));
    EXPECT_FALSE(SetInputMethodOpen(a + 100, true));
}

}  // namespace
