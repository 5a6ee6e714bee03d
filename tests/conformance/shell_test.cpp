// The shell: the program's icon images and the tray icon. A desktop may have
// no tray (Qt's offscreen platform never has one); the tray cases that need
// one say so and are skipped there.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "platform/shell.h"
#include "platform/text.h"
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

// The desktop folder is the one xdg-user-dirs names; the start-up folder is
// the autostart folder of the user's configuration, made when missing.
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
    EXPECT_TRUE(fs::is_directory(root / "config" / "autostart"));
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

}  // namespace
}  // namespace conformance
