// Popup menus as item lists: a menu lives until destroyed, a submenu must
// exist when it is appended, and a menu that does not exist shows nothing.
#include "platform/menu.h"
#include "recording_window.h"

namespace conformance {
namespace {

TEST(Menus, DestroyedMenusAreGoneAndSubmenusMustExist)
{
    const MenuHandle menu = CreatePopupMenuHandle();
    const MenuHandle sub = CreatePopupMenuHandle();
    ASSERT_NE(menu, 0u);
    EXPECT_NE(sub, menu);
    EXPECT_FALSE(AppendMenuItem(menu, mf::Submenu, sub + 1000, u"none"));
    EXPECT_TRUE(AppendMenuItem(menu, mf::Submenu, sub, u"sub"));
    EXPECT_TRUE(AppendMenuItem(menu, mf::Separator, 0, u""));
    // Destroying a menu leaves the submenu attached to it alive.
    EXPECT_TRUE(DestroyMenuHandle(menu));
    EXPECT_FALSE(DestroyMenuHandle(menu));
    EXPECT_FALSE(AppendMenuItem(menu, mf::Plain, 1, u"x"));
    EXPECT_EQ(TrackPopupMenuAt(menu, tpm::ReturnCommand, Point{0, 0}, 0), 0);
    EXPECT_TRUE(AppendMenuItem(sub, mf::Plain, 1, u"x"));
    EXPECT_TRUE(DestroyMenuHandle(sub));
}

}  // namespace
}  // namespace conformance
