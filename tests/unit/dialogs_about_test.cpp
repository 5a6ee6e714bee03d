// The about box: how it closes and with what result, what its two buttons
// hand to the desktop, what it shows and where, and that no menu opens over
// it.
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

// The program has no address of its own: the mail button is greyed; the
// web button opens the help page and closes the box, or is greyed while
// there is no help page.
TEST_F(AboutBox, TheMailButtonIsGreyedAndTheWebButtonOpensTheHelpPage)
{
    ASSERT_TRUE(InitPathsForTest());
    const struct {
        bool helpPage;
        int button;
        int result;  // 2: the click did nothing, the box was left open
    } cases[] = {
        {true, IDC_ABOUT_MAIL, 2},
        {true, IDC_ABOUT_WEB, 1},
        {false, IDC_ABOUT_WEB, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        if (c.helpPage) WriteBytes(folder_ / "CeVelmo.htm", "<html></html>");
        else std::filesystem::remove(folder_ / "CeVelmo.htm");
        const std::size_t before = sim::ShellRequests().size();
        sim::QueueDialogScript([&c](WindowHandle d) { EXPECT_EQ(platform::ClickControl(d, c.button), c.result == 1); });
        EXPECT_EQ(RunAboutDialog(), c.result);
        const std::vector<std::u16string> opened = c.result == 1 ? std::vector{helpPath} : std::vector<std::u16string>{};
        std::vector<std::u16string> files;
        for (std::size_t i = before; i < sim::ShellRequests().size(); ++i) files.push_back(sim::ShellRequests()[i].file);
        EXPECT_EQ(files, opened);
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
