// An installed copy at start-up: its data and log in the user's data
// folder, made with its parents and the user's alone, its help page and
// its launchers' icon from the installation, and nothing beside the
// program; a data folder that cannot be made is said so.
#include <sys/stat.h>

#include "install_fixture.h"

namespace {

namespace fs = std::filesystem;
using platform::FromUtf8;
using InstalledCopy = InstallTest;

TEST_F(InstalledCopy, KeepsItsDataInTheUsersFolderAndReadsTheInstallation)
{
    const fs::path prefix = folder_ / "prefix";
    Install(prefix, prefix / "bin");
    StartWithNotes(1);
    const fs::path userFolder = DataHome() / "cevelmo";

    EXPECT_TRUE(installedCopy);
    EXPECT_EQ(appFolder, FromUtf8(userFolder.string()));
    EXPECT_EQ(dataFolder, FromUtf8((userFolder / "Data").string()));
    EXPECT_EQ(helpPath, FromUtf8((prefix / "share" / "cevelmo" / "CeVelmo.htm").string()));
    EXPECT_EQ(LogFilePath(), FromUtf8((userFolder / "VlmLog.txt").string()));
    ASSERT_NE(SaveDataFile(), 0);
    EXPECT_TRUE(fs::exists(userFolder / "Data" / "CeVlmDat.bin"));
    EXPECT_EQ(Tree(prefix / "bin"), std::set<std::string>{"cevelmo"}) << "nothing lands beside the program";
    struct stat info {};
    ASSERT_EQ(::stat(userFolder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "the folders made in a fresh home are the user's alone";

    Run(mainWindow, CMD_HELP, 1);
    EXPECT_EQ(ShellFiles(), std::vector<std::u16string>{helpPath}) << "Help opens the installation's page";

    // The launchers the settings make show the installation's icon.
    ASSERT_TRUE(CreateShortcut(modulePath, platform::csidl::Startup));
    const std::string icon = (prefix / "share" / "icons" / "hicolor" / "scalable" / "apps").string() + "/" +
                             platform::ToUtf8(ComponentId()) + ".svg";
    EXPECT_NE(ReadBytes(Autostart() / "CeVelmo.desktop").find("\nIcon=" + icon + "\n"), std::string::npos);
}

TEST_F(InstalledCopy, ADataFolderThatCannotBeMadeIsSaidSo)
{
    const fs::path prefix = folder_ / "prefix";
    Install(prefix, prefix / "bin");
    // A file stands where the user's data folder would go.
    WriteBytes(DataHome(), "not a folder");

    EXPECT_FALSE(Start());
    EXPECT_TRUE(installedCopy);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"Data フォルダが作成できません\n\n" + dataFolder + u"\nFile exists");
    EXPECT_EQ(Tree(prefix / "bin"), std::set<std::string>{"cevelmo"}) << "nothing is put beside the program instead";
}

}  // namespace
