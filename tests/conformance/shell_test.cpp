// The shell: the program's icon images, the tray icon, the warnings shown
// at it and a tray that comes and goes. A desktop may have no tray (Qt's
// offscreen platform never has one); the tray cases that need one say so and
// are skipped there, and so is the case of a tray that starts late where no
// tray host can be started.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "platform/shell.h"
#include "platform/text.h"
#include "recording_window.h"
#include "tray_host.h"
#ifdef CONFORMANCE_HEADLESS
#include "platform/sim/sim_menus.h"
#endif

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
    EXPECT_FALSE(GetTrayIconBounds(w, 1));
}

// Where an icon stands, once the tray has taken it in: on the screen, and
// for that icon only. A tray lays its icons out as they come, and one that
// has just started may still be moving its panel into place: the place is
// awaited, not taken from the first answer.
void ExpectIconOnTheScreen(WindowHandle owner, std::uint32_t id)
{
    const Rect screen = GetScreenBounds();
    std::optional<Rect> place;
    const auto onTheScreen = [&] {
        place = GetTrayIconBounds(owner, id);
        return place && place->Width() > 0 && place->Height() > 0 && place->left >= screen.left &&
               place->top >= screen.top && place->right <= screen.right && place->bottom <= screen.bottom;
    };
    ASSERT_TRUE(PumpUntil(onTheScreen)) << "icon " << id << " never stood on the screen: "
                                        << (place ? std::to_string(place->left) + "," + std::to_string(place->top) +
                                                        " - " + std::to_string(place->right) + "," +
                                                        std::to_string(place->bottom)
                                                  : std::string("the tray never told where"));
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
    ExpectIconOnTheScreen(w, 1);
    EXPECT_FALSE(GetTrayIconBounds(w, 3)) << "an icon never added has a place";

    // Only the owner and id name the icon to delete.
    TrayIconData removal;
    removal.owner = w;
    removal.id = 1;
    EXPECT_TRUE(DeleteTrayIconEntry(removal));
    EXPECT_FALSE(DeleteTrayIconEntry(removal));
    EXPECT_FALSE(GetTrayIconBounds(w, 1)) << "a deleted icon keeps a place";
    EXPECT_TRUE(DeleteTrayIconEntry(TrayIcon(w, 2)));
    // A tray that leaves the icon's menu to the program (an X tray) keeps
    // none, or its right button would open a second menu.
    const MenuHandle menu = CreatePopupMenuHandle();
    AppendMenuItem(menu, mf::Plain, 111, u"付箋紙の新規作成 (&N)");
    EXPECT_FALSE(SetTrayIconMenu(TrayIcon(other, 1), menu));
    DestroyMenuHandle(menu);
    EXPECT_TRUE(DeleteTrayIconEntry(TrayIcon(other, 1)));
}

// A warning is shown only at an icon that is there, found by its owner and
// id, and no longer once the icon is gone.
TEST_F(Shell, TrayMessagesAreShownOnlyAtAnIconThatIsThere)
{
    const WindowHandle w = MakeWindow();
    const TrayIconData icon = TrayIcon(w, 7);
    EXPECT_FALSE(ShowTrayIconMessage(icon, u"付箋紙", u"before the icon"));
    if (!IsTrayAvailable()) GTEST_SKIP() << "this desktop has no tray";
    ASSERT_TRUE(AddTrayIconEntry(icon));
    EXPECT_TRUE(ShowTrayIconMessage(icon, u"付箋紙", u"付箋紙を保存できません。\n二行目"));
    EXPECT_FALSE(ShowTrayIconMessage(TrayIcon(w, 8), u"付箋紙", u"no icon of this id"));
    EXPECT_TRUE(DeleteTrayIconEntry(icon));
    EXPECT_FALSE(ShowTrayIconMessage(icon, u"付箋紙", u"after the icon"));
}

// A click on an icon reaches its owner as the callback message with the
// icon's id and the release of the left button; an icon added without a
// callback message tells of nothing.
TEST_F(Shell, AClickOnATrayIconPostsItsCallbackMessage)
{
    const WindowHandle w = MakeWindow();
    EXPECT_FALSE(ClickTrayIcon(w, 1)) << "a click on no icon";
    if (!IsTrayAvailable()) GTEST_SKIP() << "this desktop has no tray";
    TrayIconData silent = TrayIcon(w, 2);
    silent.flags &= ~nif::Message;
    ASSERT_TRUE(AddTrayIconEntry(TrayIcon(w, 1)));
    ASSERT_TRUE(AddTrayIconEntry(silent));
    EXPECT_TRUE(ClickTrayIcon(w, 1));
    EXPECT_TRUE(ClickTrayIcon(w, 2));
    PumpMessages();
    const std::uint32_t callback = TrayIcon(w, 1).callbackMessage;
    EXPECT_EQ(ReceivedBy(w, callback), (std::vector<Received>{{w, callback, 1, wm::LeftButtonUp}}));
    EXPECT_TRUE(DeleteTrayIconEntry(TrayIcon(w, 1)));
    EXPECT_TRUE(DeleteTrayIconEntry(silent));
}

// The desktop folder is the one xdg-user-dirs names; the start-up folder is
// the autostart folder of the user's configuration, named before it exists.
//
// The base of the user's data folders is $XDG_DATA_HOME when that is an
// absolute path, else ~/.local/share, whether or not it exists yet.
#ifdef CONFORMANCE_HEADLESS
TEST(SpecialFolders, DesktopAndStartupAreTheUsersXdgFolders)
{
    GTEST_SKIP() << "the sim's special folders are the ones its tests set";
}
TEST(SpecialFolders, TheUsersDataFolderFollowsXdgDataHome)
{
    GTEST_SKIP() << "the sim's special folders are the ones its tests set";
}
#else
// An environment variable set for the length of a case, then put back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::optional<std::string> Folder(int id)
{
    const std::optional<std::u16string> path = GetSpecialFolderPath(id);
    if (!path) return std::nullopt;
    return ToUtf8(*path);
}

TEST(SpecialFolders, DesktopAndStartupAreTheUsersXdgFolders)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("cevelmo-xdg-" + std::to_string(::getpid()));
    fs::create_directories(root / "home");
    fs::create_directories(root / "config");
    const ScopedEnvironment home("HOME", (root / "home").string());
    const ScopedEnvironment config("XDG_CONFIG_HOME", (root / "config").string());
    std::ofstream(root / "config" / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";

    EXPECT_EQ(Folder(csidl::Desktop), std::nullopt) << "a desktop folder that is not there was named";
    fs::create_directories(root / "home" / "Schreibtisch");
    EXPECT_EQ(Folder(csidl::Desktop), (root / "home" / "Schreibtisch").string());

    EXPECT_EQ(Folder(csidl::Startup), (root / "config" / "autostart").string());
    EXPECT_FALSE(fs::exists(root / "config" / "autostart")) << "naming the start-up folder made it";
    fs::remove_all(root);
}

TEST(SpecialFolders, TheUsersDataFolderFollowsXdgDataHome)
{
    const std::string home = "/nonexistent/cevelmo-home-" + std::to_string(::getpid());
    const ScopedEnvironment homeVariable("HOME", home);
    {
        const ScopedEnvironment dataHome("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(Folder(csidl::LocalAppData), "/srv/data");
    }
    {
        // A relative path is to be ignored, as if it were not set.
        const ScopedEnvironment dataHome("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(Folder(csidl::LocalAppData), home + "/.local/share");
    }
    const ScopedEnvironment dataHome("XDG_DATA_HOME", "");
    EXPECT_EQ(Folder(csidl::LocalAppData), home + "/.local/share") << "a folder that does not exist yet is named";
}
#endif

// A file that nothing on the desktop opens (xdg-open finds no application
// for it, or there is no xdg-open) is told to the owner with the tag.
TEST_F(Shell, AFileThatNothingOpensIsToldToTheOwner)
{
    const WindowHandle w = MakeWindow();
#ifdef CONFORMANCE_HEADLESS
    sim::SetShellCanOpenFiles(false);
    const std::vector<std::string> paths = {""};
#else
    namespace fs = std::filesystem;
    const fs::path tools = fs::temp_directory_path() / ("cevelmo-path-" + std::to_string(::getpid()));
    fs::create_directories(tools / "none");
    std::ofstream(tools / "xdg-open") << "#!/bin/sh\nexit 3\n";
    fs::permissions(tools / "xdg-open", fs::perms::owner_all);
    const std::vector<std::string> paths = {tools.string(), (tools / "none").string()};
#endif
    for (std::size_t i = 0; i < paths.size(); ++i) {
#ifndef CONFORMANCE_HEADLESS
        const ScopedEnvironment path("PATH", paths[i]);
#endif
        ShellOpenFileOrNotify(u"/nonexistent/CeVelmo.htm", w, wm::User + 301, 40 + i);
        ASSERT_TRUE(PumpUntil([&] { return ReceivedBy(w, wm::User + 301).size() == i + 1; })) << paths[i];
        EXPECT_EQ(ReceivedBy(w, wm::User + 301).back().wParam, 40 + i);
    }
}

// A tray host that starts after the program (as at login) and later ends and
// starts again: every window hears of each new tray, the icons go with the
// tray that ends, and can be added to the next.
TEST_F(Shell, EveryWindowHearsOfATrayThatStartsAndTheIconsGoWithTheTray)
{
    if (const std::string why = TrayHost::Unavailable(); !why.empty()) GTEST_SKIP() << why;
    TrayHost host;
    const WindowHandle a = MakeWindow();
    const WindowHandle b = MakeWindow(Rect{300, 100, 460, 140});
    EXPECT_FALSE(IsTrayAvailable());
    EXPECT_FALSE(AddTrayIconEntry(TrayIcon(a, 1)));
    auto heard = [](WindowHandle w) { return ReceivedBy(w, wm::TrayCreated).size(); };

    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(PumpUntil([&] { return heard(a) == 1 && heard(b) == 1; })) << "the new tray was not announced";
    EXPECT_TRUE(IsTrayAvailable());
    ASSERT_TRUE(AddTrayIconEntry(TrayIcon(a, 1)));
    ExpectIconOnTheScreen(a, 1);

    host.Stop();
    EXPECT_TRUE(PumpUntil([&] { return !IsTrayAvailable() && !GetTrayIconBounds(a, 1); }));
    EXPECT_EQ(heard(a), 1u) << "a tray that ended was announced as a new one";

    ASSERT_TRUE(host.Start());
    ASSERT_TRUE(PumpUntil([&] { return heard(a) == 2 && heard(b) == 2; }));
    EXPECT_TRUE(AddTrayIconEntry(TrayIcon(a, 1))) << "the icon of the tray that ended is still registered";
    ExpectIconOnTheScreen(a, 1);
    EXPECT_TRUE(DeleteTrayIconEntry(TrayIcon(a, 1)));
}

}  // namespace
}  // namespace conformance
