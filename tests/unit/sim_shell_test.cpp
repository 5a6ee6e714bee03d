// The sim backend's shell, fonts and input method.
#include "platform/font.h"
#include "platform/ime.h"
#include "platform/shell.h"
#include "sim_fixture.h"

namespace {

using namespace platform;

using SimShell = SimTest;

TEST_F(SimShell, OnlyTheProgramIconExistsAtItsTwoSizes)
{
    struct Case {
        int resource, size;
        bool exists;
    };
    const Case cases[] = {{138, 16, true}, {138, 32, true}, {138, 24, false}, {139, 16, false}, {0, 32, false}};
    for (const Case& c : cases) EXPECT_EQ(LoadIconImage(c.resource, c.size) != 0, c.exists) << c.resource << "/" << c.size;
    const IconHandle a = LoadIconImage(138, 16);
    EXPECT_NE(LoadIconImage(138, 16), a) << "two loads share a handle";
    DestroyIconImage(a);
}

TEST_F(SimShell, TrayIconsAreKeyedByOwnerAndId)
{
    const WindowHandle w = Make();
    TrayIconData icon;
    icon.owner = w;
    icon.id = 1;
    icon.flags = nif::Message | nif::Icon | nif::Tip;
    icon.callbackMessage = 1324;
    icon.tip = u"VELMO";
    TrayIconData silent = icon;
    silent.id = 2;
    silent.flags = nif::Icon;

    EXPECT_FALSE(AddTrayIconEntry(silent)) << "an icon without a message was added";
    EXPECT_FALSE(DeleteTrayIconEntry(icon));
    ASSERT_TRUE(AddTrayIconEntry(icon));
    EXPECT_FALSE(AddTrayIconEntry(icon));
    ASSERT_EQ(sim::TrayIcons().size(), 1u);
    EXPECT_EQ(sim::TrayIcons()[0].tip, u"VELMO");

    sim::ClickTrayIcon(wm::LeftButtonUp);
    PumpMessages();
    EXPECT_EQ(Only({1324}), (std::vector<SimMessage>{{w, 1324, 1, wm::LeftButtonUp}}));

    TrayIconData removal;
    removal.owner = w;
    removal.id = 1;
    EXPECT_TRUE(DeleteTrayIconEntry(removal));
    EXPECT_TRUE(sim::TrayIcons().empty());
    sim::ClickTrayIcon(wm::LeftButtonUp);
    PumpMessages();
    EXPECT_EQ(Only({1324}).size(), 1u);
}

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
