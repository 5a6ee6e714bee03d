// The program's launchers: desktop entries written and read back by what
// they start (any path the program can lie at, escaped as entries require),
// entries of other kinds and of other programs passed over, and the
// program's own launcher found under any name.
#include <sys/stat.h>

#include "data_file_fixture.h"
#include "dialogs/shortcuts.h"
#include "platform/shell.h"
#include "platform/sim/sim_menus.h"

namespace {

namespace fs = std::filesystem;
using platform::FromUtf8;

class Launchers : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        fs::create_directories(folder_ / "autostart");
        sim::SetSpecialFolder(platform::csidl::Startup, FromUtf8((folder_ / "autostart").string()));
        WriteBytes(folder_ / "cevelmo", "program");
    }

    std::u16string Path(const std::string& name) const { return FromUtf8((folder_ / name).string()); }
    std::u16string Startup(const std::string& name) const { return Path("autostart/" + name); }
    void WriteEntry(const std::string& name, const std::string& text) const
    {
        WriteBytes(folder_ / "autostart" / name, text);
    }
};

// A target read back is the target written, whatever the program's path
// holds; the Exec line carries the escapes of the entry format.
TEST_F(Launchers, WhatALauncherStartsComesBackAsWritten)
{
    const struct {
        std::u16string target;
        std::string exec;  // the Exec line as written in the file
    } cases[] = {
        {u"\"/opt/cevelmo/cevelmo\"", "Exec=\"/opt/cevelmo/cevelmo\""},
        {u"\"/home/u/My Notes/cevelmo\"", "Exec=\"/home/u/My Notes/cevelmo\""},
        {u"\"/a/$HOME/`x`/100%/cevelmo\"", "Exec=\"/a/\\\\$HOME/\\\\`x\\\\`/100%%/cevelmo\""},
        {u"\"/a/back\\slash/\"quote\"/cevelmo\"", "Exec=\"/a/back\\\\\\\\slash/\\\\\"quote\\\\\"/cevelmo\""},
        {u"\"/home/付箋紙/cevelmo\"", "Exec=\"/home/付箋紙/cevelmo\""},
        {u"\"/a/tab\there/cevelmo\"", "Exec=\"/a/tab\\there/cevelmo\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exec);
        const std::u16string path = Startup("a.desktop");
        ASSERT_TRUE(platform::CreateShortcutFile(path, {c.target, u"CeVelmo", u"/opt/cevelmo/CeVelmo.svg"}));
        EXPECT_EQ(platform::ReadShortcutTarget(path), c.target);
        const std::string entry = ReadBytes(folder_ / "autostart" / "a.desktop");
        EXPECT_NE(entry.find("\n" + c.exec + "\n"), std::string::npos) << entry;
        EXPECT_EQ(entry.rfind("[Desktop Entry]\nType=Application\n", 0), 0u) << entry;
        EXPECT_NE(entry.find("\nName=CeVelmo\n"), std::string::npos);
        EXPECT_NE(entry.find("\nIcon=/opt/cevelmo/CeVelmo.svg\n"), std::string::npos);
        struct stat info {};
        ASSERT_EQ(::stat((folder_ / "autostart" / "a.desktop").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0100, 0100u) << "the launcher is not executable";
    }
}

TEST_F(Launchers, EntriesAreReadAsTheDesktopReadsThem)
{
    const struct {
        const char* name;
        std::string text;
        std::optional<std::u16string> target;
    } cases[] = {
        {"bare.desktop", "[Desktop Entry]\nType=Application\nExec=/opt/cevelmo/cevelmo\n", u"\"/opt/cevelmo/cevelmo\""},
        {"spaced.desktop", "# made by hand\n[Desktop Entry]\r\nType = Application\r\nExec = /x/cevelmo  --a \"b c\"\r\n",
         u"\"/x/cevelmo\" \"--a\" \"b c\""},
        {"hidden.desktop", "[Desktop Entry]\nType=Application\nExec=/x/cevelmo\nHidden=true\n", std::nullopt},
        {"link.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.org/\n", std::nullopt},
        {"other-group.desktop", "[Desktop Action New]\nExec=/x/cevelmo\n[Desktop Entry]\nType=Application\n",
         std::nullopt},
        {"open-quote.desktop", "[Desktop Entry]\nType=Application\nExec=\"/x/cevelmo\n", std::nullopt},
        {"empty-exec.desktop", "[Desktop Entry]\nType=Application\nExec=\n", std::nullopt},
        {"not-a-launcher.txt", "[Desktop Entry]\nType=Application\nExec=/x/cevelmo\n", std::nullopt},
    };
    for (const auto& c : cases) {
        WriteEntry(c.name, c.text);
        EXPECT_EQ(platform::ReadShortcutTarget(Startup(c.name)), c.target) << c.name;
    }
    EXPECT_EQ(platform::ReadShortcutTarget(Startup("missing.desktop")), std::nullopt);
    WriteEntry("huge.desktop", "[Desktop Entry]\nType=Application\nExec=/x/cevelmo\n" + std::string(70000, '#'));
    EXPECT_EQ(platform::ReadShortcutTarget(Startup("huge.desktop")), std::nullopt);
}

TEST_F(Launchers, QuotedPathsAndTheProgramsOwnLauncher)
{
    EXPECT_EQ(QuotePath(u"/a b/c"), u"\"/a b/c\"");
    EXPECT_EQ(QuotePath(u""), std::nullopt);

    const std::u16string program = Path("cevelmo");
    EXPECT_EQ(FindShortcut(program, platform::csidl::Startup), std::nullopt);
    ASSERT_TRUE(CreateShortcut(program, platform::csidl::Startup));
    EXPECT_EQ(FindShortcut(program, platform::csidl::Startup), Startup("CeVelmo.desktop"));
    EXPECT_EQ(platform::ReadShortcutTarget(Startup("CeVelmo.desktop")), QuotePath(program));
    // The icon beside the program names the launcher's picture.
    EXPECT_NE(ReadBytes(folder_ / "autostart" / "CeVelmo.desktop").find("Icon=" + (folder_ / "CeVelmo.svg").string()),
              std::string::npos);

    // No target file, no folder of that kind: nothing found, nothing made.
    EXPECT_EQ(FindShortcut(Path("gone"), platform::csidl::Startup), std::nullopt);
    EXPECT_FALSE(CreateShortcut(Path("gone"), platform::csidl::Startup));
    EXPECT_FALSE(CreateShortcut(program, platform::csidl::Desktop));
    EXPECT_EQ(FindShortcut(program, platform::csidl::Desktop), std::nullopt);
}

TEST_F(Launchers, AnyEntryThatStartsTheProgramIsFoundUnderAnyName)
{
    const std::string program = (folder_ / "cevelmo").string();
    WriteEntry("a-other.desktop", "[Desktop Entry]\nType=Application\nExec=/usr/bin/true\n");
    WriteEntry("b-args.desktop", "[Desktop Entry]\nType=Application\nExec=" + program + " --x\n");
    fs::create_directories(folder_ / "autostart" / "c-folder.desktop");
    WriteEntry("mine by hand.desktop", "[Desktop Entry]\nType=Application\nName=Notes\nExec=" + program + "\n");
    EXPECT_EQ(FindShortcut(FromUtf8(program), platform::csidl::Startup), Startup("mine by hand.desktop"));
}

}  // namespace
