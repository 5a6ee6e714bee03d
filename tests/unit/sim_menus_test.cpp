// The simulated menus and dialogs that the behaviour tests rely on: what a
// script can choose, the nested loop, and the dialog helpers built on them.
#include "dialogs/shell_open.h"
#include "platform/dialogs.h"
#include "platform/menu.h"
#include "platform/sim/sim_menus.h"
#include "sim_fixture.h"

using platform::MenuHandle;

class SimMenuTest : public SimTest {
protected:
    static MenuHandle MenuWithGreySubmenu()
    {
        const MenuHandle top = platform::CreatePopupMenuHandle();
        const MenuHandle sub = platform::CreatePopupMenuHandle();
        EXPECT_TRUE(platform::AppendMenuItem(sub, platform::mf::Plain, 7, u"inside"));
        EXPECT_TRUE(platform::AppendMenuItem(top, platform::mf::Plain, 5, u"plain"));
        EXPECT_TRUE(platform::AppendMenuItem(top, platform::mf::Grey, 6, u"grey"));
        EXPECT_TRUE(platform::AppendMenuItem(top, platform::mf::Submenu | platform::mf::Grey, sub, u"sub"));
        return top;
    }
};

TEST_F(SimMenuTest, OnlyEnabledCommandsCanBeChosen)
{
    const platform::WindowHandle owner = Make();
    const MenuHandle menu = MenuWithGreySubmenu();
    for (int answer : {6, 7, 99, 5}) sim::QueueMenuAnswer(answer);
    const int expected[] = {0, 0, 0, 5};
    for (int result : expected) EXPECT_EQ(platform::TrackPopupMenuAt(menu, platform::tpm::ReturnCommand, {1, 2}, owner), result);
    ASSERT_EQ(sim::MenusShown().size(), 4u);
    EXPECT_EQ(sim::MenusShown()[0].items[2].items[0].label, u"inside");
    EXPECT_TRUE(Only({platform::wm::Command}).empty());
}

TEST_F(SimMenuTest, OpenMenuDeliversPostedMessagesFirst)
{
    const platform::WindowHandle owner = Make();
    const MenuHandle menu = MenuWithGreySubmenu();
    platform::PostWindowMessage(owner, platform::wm::User, 1, 2);
    sim::QueueMenuAnswer(5);
    // Without ReturnCommand the choice is posted to the owner.
    EXPECT_EQ(platform::TrackPopupMenuAt(menu, 0, {0, 0}, owner), 1);
    EXPECT_EQ(Only({platform::wm::User}).size(), 1u);
    platform::PumpMessages();
    EXPECT_EQ(Only({platform::wm::Command}), (std::vector<SimMessage>{{owner, platform::wm::Command, 5, 0}}));
}

TEST_F(SimMenuTest, DestroyedMenusAreGoneAndSubmenusMustExist)
{
    const MenuHandle menu = platform::CreatePopupMenuHandle();
    EXPECT_FALSE(platform::AppendMenuItem(menu, platform::mf::Submenu, menu + 1000, u"none"));
    EXPECT_EQ(sim::LiveMenuCount(), 1);
    EXPECT_TRUE(platform::DestroyMenuHandle(menu));
    EXPECT_FALSE(platform::DestroyMenuHandle(menu));
    EXPECT_FALSE(platform::AppendMenuItem(menu, platform::mf::Plain, 1, u"x"));
    EXPECT_EQ(platform::TrackPopupMenuAt(menu, platform::tpm::ReturnCommand, {0, 0}, 0), 0);
    EXPECT_EQ(sim::LiveMenuCount(), 0);
}

TEST_F(SimMenuTest, FileDialogAddsTheDefaultExtensionOnlyToBareNames)
{
    platform::FileDialogRequest request;
    request.defaultExtension = u"txt";
    for (const char16_t* answer : {u"/a/b/note", u"/a/b/note.md"}) sim::QueueFileDialogAnswer(std::u16string(answer));
    ASSERT_TRUE(platform::ShowSaveFileDialog(request));
    EXPECT_EQ(request.path, u"/a/b/note.txt");
    EXPECT_EQ(request.fileTitle, u"note.txt");
    ASSERT_TRUE(platform::ShowOpenFileDialog(request));
    EXPECT_EQ(request.fileTitle, u"note.md");
    EXPECT_FALSE(platform::ShowOpenFileDialog(request));  // nothing queued: cancelled
}

TEST_F(SimMenuTest, CentreDialogCentresOnTheScreenAlsoWhenTooLarge)
{
    const platform::WindowHandle small = Make({0, 0, 101, 51});
    const platform::WindowHandle large = Make({5, 5, 1031, 775});
    CentreDialog(small);
    CentreDialog(large);
    EXPECT_EQ(platform::GetWindowBounds(small), (platform::Rect{461, 358, 562, 409}));
    // (1024 - 1026) / 2 and (768 - 770) / 2 drop their remainders toward zero.
    EXPECT_EQ(platform::GetWindowBounds(large), (platform::Rect{-1, -1, 1025, 769}));
}

TEST_F(SimMenuTest, ShellOpenAsksForTheOpenVerb)
{
    EXPECT_TRUE(ShellOpen(u"mailto:someone@example.com"));
    ASSERT_EQ(sim::ShellRequests().size(), 1u);
    EXPECT_EQ(sim::ShellRequests()[0].verb, u"open");
    EXPECT_EQ(sim::ShellRequests()[0].file, u"mailto:someone@example.com");
}
