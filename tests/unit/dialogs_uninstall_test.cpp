// Uninstall from the tray menu, for an unpacked and an installed copy: the
// question each asks, what goes (the launchers that start the program, the
// Data folder's own files, the log, the folders left empty) and what stays
// (the program file, every file and folder of the user's), the desktop's
// page or folder opened afterwards, and a No that changes nothing.
#include <algorithm>
#include <set>

#include "install_fixture.h"

namespace {

namespace fs = std::filesystem;
using platform::FromUtf8;

const std::u16string kInstalledQuestion =
    u"付箋紙 CeVelmo をアンインストールします\n\n    よろしいでしょうか？\n\n"
    u"「はい」をタップすると付箋紙関連データを削除した後に\n"
    u"アプリケーションの削除ダイアログを起動しますので\n"
    u"ここで Morvane CeVelmo を選択し削除ボタンを\nタップしてください";
const std::u16string kUnpackedQuestion =
    u"付箋紙 CeVelmo をアンインストールします\n\n    よろしいでしょうか？\n\n"
    u"「はい」をタップすると付箋紙関連データを削除した後に\n"
    u"CeVelmo のフォルダを開きますのでフォルダごと\n削除してください";
constexpr std::uint32_t kQuestionStyle =
    platform::mb::YesNo | platform::mb::IconQuestion | platform::mb::SetForeground;

using UninstallTest = InstallTest;

TEST_F(UninstallTest, AnUnpackedCopyLosesOnlyWhatTheProgramMade)
{
    WriteBytes(folder_ / "report.txt", "the user's");
    WriteBytes(folder_ / "photos" / "a.jpg", "the user's too");
    StartWithNotes(2);
    MakeLaunchers();
    MakeProgramFiles();
    // A new note waits for its save.
    Run(mainWindow, CMD_NEW_NOTE, 0);
    ASSERT_TRUE(dataFileSaves.pending);

    ChooseUninstall(platform::id::Yes);

    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, kUnpackedQuestion);
    EXPECT_EQ(sim::MessageBoxes()[0].caption, u"付箋紙");
    EXPECT_EQ(sim::MessageBoxes()[0].style, kQuestionStyle);
    EXPECT_EQ(Tree(folder_), (std::set<std::string>{"cevelmo", "report.txt", "photos", "photos/a.jpg", "home",
                                                     "home/Desktop", "home/Desktop/editor.desktop", "home/.config",
                                                     "home/.config/autostart"}))
        << "Data, the log and the program's launchers under any name are gone; the rest stays";
    EXPECT_EQ(ShellFiles(), std::vector<std::u16string>{FromUtf8(folder_.string())})
        << "the program's folder is opened for the user to delete";
    EXPECT_FALSE(platform::IsLiveWindow(mainWindow)) << "the program ends";

    platform::PumpMessagesFor(2000);
    ShutdownApp();
    EXPECT_FALSE(fs::exists(DataFile())) << "the waiting save never comes";
    EXPECT_FALSE(fs::exists(DataDir()));
}

TEST_F(UninstallTest, AFolderThatStillHoldsTheUsersFilesStays)
{
    StartWithNotes(1);
    MakeProgramFiles();
    WriteBytes(DataDir() / "mine.txt", "kept in Data by the user");
    WriteBytes(DataDir() / "old" / "VLM00001.txt", "a note file of the user's own, in a folder of theirs");
    WriteBytes(DataDir() / "VLM1.txt", "not a note file's name");

    ChooseUninstall(platform::id::Yes);

    EXPECT_EQ(Tree(DataDir()), (std::set<std::string>{"mine.txt", "old", "old/VLM00001.txt", "VLM1.txt"}));
    EXPECT_FALSE(platform::IsLiveWindow(mainWindow));
}

TEST_F(UninstallTest, NoLeavesEverythingAndTheProgramRunsOn)
{
    StartWithNotes(2);
    MakeLaunchers();
    MakeProgramFiles();
    const std::set<std::string> before = Tree(folder_);

    ChooseUninstall(platform::id::No);

    EXPECT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(Tree(folder_), before);
    EXPECT_TRUE(sim::ShellRequests().empty());
    ASSERT_TRUE(platform::IsLiveWindow(mainWindow));
    const int saves = Saves();
    Run(Note(0).window, CMD_HIDE_NOTE, 1);
    EXPECT_EQ(Saves(), saves + 1) << "the data file is still written";
}

TEST_F(UninstallTest, AnInstalledCopyOpensTheSoftwareCentreAfterwards)
{
    const fs::path prefix = folder_ / "prefix";
    Install(prefix, prefix / "bin");
    StartWithNotes(2);
    MakeLaunchers();
    MakeProgramFiles();
    const std::set<std::string> installation = Tree(prefix);

    ChooseUninstall(platform::id::Yes);

    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, kInstalledQuestion);
    EXPECT_EQ(sim::MessageBoxes()[0].style, kQuestionStyle);
    EXPECT_EQ(ShellFiles(), std::vector<std::u16string>{u"appstream://org.example.cevelmo"});
    EXPECT_FALSE(fs::exists(DataHome() / "cevelmo")) << "the user's data folder is gone, left empty";
    EXPECT_TRUE(fs::exists(DataHome())) << "the folder above it is not the program's";
    EXPECT_EQ(Tree(Desktop()), std::set<std::string>{"editor.desktop"});
    EXPECT_TRUE(fs::is_empty(Autostart()));
    EXPECT_EQ(Tree(prefix), installation) << "the installation is the package manager's to remove";
    EXPECT_FALSE(platform::IsLiveWindow(mainWindow));
}

TEST_F(UninstallTest, AnInstallationInTheUsersOwnPrefixKeepsItsFiles)
{
    // Installed into ~/.local, the installation's folder is the user's data
    // folder: the data goes, the installation's files and their folder stay.
    const fs::path prefix = home_ / ".local";
    Install(prefix, prefix / "bin");
    StartWithNotes(1);
    EXPECT_EQ(appFolder, FromUtf8((prefix / "share" / "cevelmo").string()));
    MakeProgramFiles();

    ChooseUninstall(platform::id::Yes);

    EXPECT_EQ(sim::MessageBoxes().back().text, kInstalledQuestion);
    EXPECT_EQ(Tree(prefix / "share" / "cevelmo"), (std::set<std::string>{"install-record", "CeVelmo.htm"}));
}

TEST_F(UninstallTest, ARecordNamingAnotherFolderMakesAnUnpackedCopy)
{
    // A prefix copied or moved as a whole: its record names where it was.
    const fs::path prefix = folder_ / "moved";
    Install(prefix, folder_ / "original" / "bin");
    fs::create_directories(folder_ / "original" / "bin");
    StartWithNotes(1);

    EXPECT_FALSE(installedCopy);
    EXPECT_EQ(appFolder, FromUtf8((prefix / "bin").string()));
    EXPECT_EQ(helpPath, FromUtf8((prefix / "bin" / "CeVelmo.htm").string()));
    EXPECT_TRUE(fs::exists(prefix / "bin" / "Data"));
    MakeProgramFiles();

    ChooseUninstall(platform::id::Yes);

    EXPECT_EQ(sim::MessageBoxes().back().text, kUnpackedQuestion);
    EXPECT_EQ(ShellFiles(), std::vector<std::u16string>{FromUtf8((prefix / "bin").string())});
    EXPECT_EQ(Tree(prefix / "bin"), std::set<std::string>{"cevelmo"});
    EXPECT_TRUE(fs::exists(prefix / "share" / "cevelmo" / "install-record"));
}

}  // namespace
