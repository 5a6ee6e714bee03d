// The about box: how it closes and with what result, what its address
// buttons hand to the desktop, what it shows and where, and that no menu
// opens over it.
#include "dialogs/about.h"
#include "dialogs/templates.h"
#include "menu_fixture.h"
#include "platform/dialog_box.h"
#include "platform/testing/inspect.h"
#include "platform/system.h"

namespace {

using platform::WindowHandle;
using AboutBox = MenuTest;

TEST_F(AboutBox, ClosesWithOkOrCancelAndOpensNothing)
{
    const struct {
        const char* how;
        sim::DialogScript script;
        int result;
    } cases[] = {
        {"OK", [](WindowHandle d) { platform::ClickControl(d, platform::id::Ok); }, 1},
        {"Escape", [](WindowHandle) { platform::CloseMenuOrDialog(); }, 2},
        {"close box", [](WindowHandle d) { platform::ClickCloseBox(d); }, 2},
        {"left open", [](WindowHandle) {}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        sim::QueueDialogScript(c.script);
        EXPECT_EQ(RunAboutDialog(), c.result);
    }
    EXPECT_TRUE(sim::ShellRequests().empty());
    EXPECT_EQ(platform::GetOpenDialog(), 0u);
}

// What a button says is what it opens: the e-mail address as a "mailto:"
// address, the web address as it stands, cut to 99 characters.
TEST_F(AboutBox, AnAddressButtonHandsItsCaptionToTheDesktopAndCloses)
{
    const std::u16string longAddress = u"https://example.org/" + std::u16string(120, u'x');
    const struct {
        int button;
        std::optional<std::u16string> caption;  // replaced before the click
        std::u16string opened;
    } cases[] = {
        {IDC_ABOUT_MAIL, std::nullopt, u"mailto:cevelmo@example.org"},
        {IDC_ABOUT_WEB, std::nullopt, u"https://cevelmo.example.org/"},
        {IDC_ABOUT_MAIL, u"someone@example.net", u"mailto:someone@example.net"},
        {IDC_ABOUT_WEB, longAddress, longAddress.substr(0, 99)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.opened));
        const std::size_t before = sim::ShellRequests().size();
        sim::QueueDialogScript([&c](WindowHandle d) {
            if (c.caption) platform::SetControlText(d, c.button, *c.caption);
            EXPECT_TRUE(platform::ClickControl(d, c.button));
        });
        EXPECT_EQ(RunAboutDialog(), 1);
        ASSERT_EQ(sim::ShellRequests().size(), before + 1);
        EXPECT_EQ(sim::ShellRequests().back().verb, u"open");
        EXPECT_EQ(sim::ShellRequests().back().file, c.opened);
    }
}

TEST_F(AboutBox, ShowsTheVersionInTheMiddleOfTheScreen)
{
    sim::SetScreen({0, 0, 800, 600}, {0, 0, 800, 570});
    sim::QueueDialogScript([](WindowHandle d) {
        EXPECT_EQ(platform::GetControlText(d, IDC_ABOUT_VERSION), u"1.20");
        EXPECT_EQ(sim::WindowTitle(d), u"ﾊﾞｰｼﾞｮﾝ情報");
        const platform::Rect bounds = platform::GetWindowBounds(d);
        EXPECT_EQ(bounds.left, (800 - bounds.Width()) / 2);
        EXPECT_EQ(bounds.top, (600 - bounds.Height()) / 2);
        EXPECT_EQ(platform::GetFocusedControl(d), std::optional<int>(platform::id::Ok));
    });
    RunAboutDialog();
}

// A dialog larger than the screen stands partly off it, its middle in the
// middle of the screen.
TEST_F(AboutBox, ALargerDialogThanTheScreenStandsAtANegativePlace)
{
    sim::SetScreen({0, 0, 200, 100}, {0, 0, 200, 100});
    sim::QueueDialogScript([](WindowHandle d) {
        const platform::Rect bounds = platform::GetWindowBounds(d);
        EXPECT_LT(bounds.left, 0);
        EXPECT_LT(bounds.top, 0);
        EXPECT_EQ(bounds.left, (200 - bounds.Width()) / 2);
        EXPECT_EQ(bounds.top, (100 - bounds.Height()) / 2);
    });
    RunAboutDialog();
}

TEST_F(AboutBox, NoMenuOpensWhileItIsOpen)
{
    StartWithNotes(1);
    int busy = -1;
    sim::QueueDialogScript([&](WindowHandle) {
        busy = dialogBusy;
        RightClick(0);
        OpenTrayMenu();
    });
    Run(Note(0).window, CMD_ABOUT, 1);
    EXPECT_EQ(busy, 1);
    EXPECT_TRUE(sim::MenusShown().empty());
    EXPECT_EQ(dialogBusy, 0);
    ASSERT_EQ(sim::DialogsShown().size(), 1u);
    EXPECT_EQ(sim::DialogsShown()[0].result, 2);
    // The note that asked comes forward again, and nothing was saved.
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(0).window);
    EXPECT_EQ(Saves(), 0);
}

}  // namespace
