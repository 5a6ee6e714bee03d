// The dialogs' two helpers: handing a file or an address to the desktop,
// and centring a dialog on the screen.
#include "dialogs/shell_open.h"
#include "platform/sim/sim_menus.h"
#include "sim_fixture.h"

using DialogHelpers = SimTest;

TEST_F(DialogHelpers, CentreDialogCentresOnTheScreenAlsoWhenTooLarge)
{
    const platform::WindowHandle small = Make({0, 0, 101, 51});
    const platform::WindowHandle large = Make({5, 5, 1031, 775});
    CentreDialog(small);
    CentreDialog(large);
    EXPECT_EQ(platform::GetWindowBounds(small), (platform::Rect{461, 358, 562, 409}));
    // (1024 - 1026) / 2 and (768 - 770) / 2 drop their remainders toward zero.
    EXPECT_EQ(platform::GetWindowBounds(large), (platform::Rect{-1, -1, 1025, 769}));
}

TEST_F(DialogHelpers, ShellOpenAsksForTheOpenVerb)
{
    EXPECT_TRUE(ShellOpen(u"mailto:someone@example.com"));
    ASSERT_EQ(sim::ShellRequests().size(), 1u);
    EXPECT_EQ(sim::ShellRequests()[0].verb, u"open");
    EXPECT_EQ(sim::ShellRequests()[0].file, u"mailto:someone@example.com");
}
