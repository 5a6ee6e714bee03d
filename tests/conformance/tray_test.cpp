// The tray icon as the program uses it: a warning is shown only at an icon
// that is there, by its owner and id, and no longer once the icon is gone.
#include "platform/shell.h"
#include "recording_window.h"

namespace conformance {
namespace {

using Tray = PlatformTest;

constexpr int kProgramIcon = 138;

TEST_F(Tray, MessagesAreShownOnlyAtAnIconThatIsThere)
{
    TrayIconData data;
    data.owner = MakeWindow();
    data.id = 7;
    data.flags = nif::Message | nif::Icon | nif::Tip;
    data.callbackMessage = wm::User + 1;
    data.icon = LoadIconImage(kProgramIcon, 16);
    data.tip = u"conformance";
    EXPECT_FALSE(ShowTrayIconMessage(data, u"付箋紙", u"before the icon"));
    if (!AddTrayIconEntry(data)) {
        DestroyIconImage(data.icon);
        GTEST_SKIP() << "this desktop has no tray to put an icon in";
    }
    EXPECT_TRUE(ShowTrayIconMessage(data, u"付箋紙", u"付箋紙を保存できません。\n二行目"));
    TrayIconData otherId = data;
    otherId.id = 8;
    EXPECT_FALSE(ShowTrayIconMessage(otherId, u"付箋紙", u"no icon of this id"));
    EXPECT_TRUE(DeleteTrayIconEntry(data));
    EXPECT_FALSE(ShowTrayIconMessage(data, u"付箋紙", u"after the icon"));
    DestroyIconImage(data.icon);
}

}  // namespace
}  // namespace conformance
