// The shell: the program's icon images and the tray icon. A desktop may have
// no tray (Qt's offscreen platform never has one); the tray cases that need
// one say so and are skipped there.
#include <iostream>

#include "platform/shell.h"
#include "recording_window.h"

namespace conformance {
namespace {

using Shell = PlatformTest;

TEST(Icons, OnlyTheProgramIconExistsAtAnyPositiveSize)
{
    struct Case {
        int resource, size;
        bool exists;
    };
    const Case cases[] = {
        {kProgramIcon, 16, true}, {kProgramIcon, 32, true}, {kProgramIcon, 24, true},
        {kProgramIcon + 1, 16, false}, {0, 32, false}, {kProgramIcon, 0, false},
    };
    for (const Case& c : cases) {
        const IconHandle icon = LoadIconImage(c.resource, c.size);
        EXPECT_EQ(icon != 0, c.exists) << c.resource << " at " << c.size;
        if (icon != 0) DestroyIconImage(icon);
    }
    const IconHandle a = LoadIconImage(kProgramIcon, 16);
    const IconHandle b = LoadIconImage(kProgramIcon, 16);
    EXPECT_NE(a, b) << "two loads share a handle";
    DestroyIconImage(a);
    DestroyIconImage(b);
}

TrayIconData TrayIcon(WindowHandle owner, std::uint32_t id)
{
    TrayIconData icon;
    icon.owner = owner;
    icon.id = id;
    icon.flags = nif::Message | nif::Icon | nif::Tip;
    icon.callbackMessage = wm::User + 300;
    icon.tip = u"VELMO";
    return icon;
}

TEST_F(Shell, WithoutATrayNoIconCanBeAdded)
{
    if (IsTrayAvailable()) GTEST_SKIP() << "this desktop has a tray";
    const WindowHandle w = MakeWindow();
    EXPECT_FALSE(AddTrayIconEntry(TrayIcon(w, 1)));
    EXPECT_FALSE(DeleteTrayIconEntry(TrayIcon(w, 1)));
}

TEST_F(Shell, TrayIconsAreKeyedByOwnerAndId)
{
    if (!IsTrayAvailable()) GTEST_SKIP() << "this desktop has no tray";
    const WindowHandle w = MakeWindow();
    const WindowHandle other = MakeWindow(Rect{300, 100, 460, 140});
    const IconHandle image = LoadIconImage(kProgramIcon, 16);
    TrayIconData icon = TrayIcon(w, 1);
    icon.icon = image;
    EXPECT_FALSE(DeleteTrayIconEntry(icon)) << "an icon never added was deleted";
    ASSERT_TRUE(AddTrayIconEntry(icon));
    DestroyIconImage(image);  // the tray keeps its own copy
    EXPECT_FALSE(AddTrayIconEntry(icon)) << "the same owner and id were added twice";
    EXPECT_TRUE(AddTrayIconEntry(TrayIcon(w, 2)));
    EXPECT_TRUE(AddTrayIconEntry(TrayIcon(other, 1)));
    EXPECT_FALSE(AddTrayIconEntry(TrayIcon(w + 1000, 1))) << "an icon for a dead window was added";

    // Only the owner and id name the icon to delete.
    TrayIconData removal;
    removal.owner = w;
    removal.id = 1;
    EXPECT_TRUE(DeleteTrayIconEntry(removal));
    EXPECT_FALSE(DeleteTrayIconEntry(removal));
    EXPECT_TRUE(DeleteTrayIconEntry(TrayIcon(w, 2)));
    EXPECT_TRUE(DeleteTrayIconEntry(TrayIcon(other, 1)));
}

}  // namespace
}  // namespace conformance
