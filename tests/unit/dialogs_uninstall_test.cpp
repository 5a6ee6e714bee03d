// Uninstall from the tray menu, for an unpacked and an installed copy: the
// question each asks, what goes (the launchers that start the program, the
// Data folder's own files, the log, the folders left empty) and what stays
// (the program file, every file and folder of the user's), the desktop's
// page or folder opened afterwards, and a No that changes nothing.
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "dialogs/shortcuts.h"
#include "menu_fixture.h"
#include "platform/shell.h"
#include "store/deletion_log.h"
#include "store/installation.h"

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

// A home folder with a desktop and an autostart folder, and a data home
// that does not exist yet; the program file in the test's folder.
class UninstallTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        home_ = folder_ / "home";
        fs::create_directories(Desktop());
        fs::create_directories(Autostart());
        sim::SetSpecialFolder(platform::csidl::Desktop, FromUtf8(Desktop().string()));
        sim::SetSpecialFolder(platform::csidl::Startup, FromUtf8(Autostart().string()));
        sim::SetSpecialFolder(platform::csidl::LocalAppData, FromUtf8(DataHome().string()));
        UseProgramIn(folder_);
    }

    void TearDown() override
    {
        installedCopy = false;
        MenuTest::TearDown();
    }

    fs::path Desktop() const { return home_ / "Desktop"; }
    fs::path Autostart() const { return home_ / ".config" / "autostart"; }
    fs::path DataHome() const { return home_ / ".local" / "share"; }

    void UseProgramIn(const fs::path& folder)
    {
        program_ = folder / "cevelmo";
        WriteBytes(program_, "the program");
        sim::SetModulePath(FromUtf8(program_.string()));
    }

    // An installation under prefix whose record names the folder given.
    void Install(const fs::path& prefix, const fs::path& recordedFolder)
    {
        UseProgramIn(prefix / "bin");
        WriteBytes(prefix / "share" / "cevelmo" / "install-record",
                   "Instl=1\nInstlDir=" + recordedFolder.string() + "\n");
        WriteBytes(prefix / "share" / "cevelmo" / "CeVelmo.htm", "<html>");
    }

    void Launcher(const fs::path& path, const std::string& command) const
    {
        WriteBytes(path, "[Desktop Entry]\nType=Application\nName=CeVelmo\nExec=" + command + "\n");
    }

    // The program's launchers as the settings make them and as a user may
    // copy them under other names, and one of another program.
    void MakeLaunchers()
    {
        ASSERT_TRUE(CreateShortcut(modulePath, platform::csidl::Desktop));
        Launcher(Desktop() / "copy of notes.desktop", "\"" + program_.string() + "\"");
        Launcher(Autostart() / "my notes.desktop", program_.string());
        Launcher(Desktop() / "editor.desktop", "/usr/bin/ed");
    }

    // The program's own files in Data and the log, as a run leaves them: the
    // data file, note files, a save's leftover, the lock file.
    void MakeProgramFiles() const
    {
        ASSERT_NE(SaveDataFile(), 0);
        WriteBytes(fs::path(platform::ToUtf8(dataFolder)) / "VLM00000.txt", "a note");
        WriteBytes(fs::path(platform::ToUtf8(dataFolder)) / "VLM00012.txt", "another");
        WriteBytes(fs::path(platform::ToUtf8(dataFolder)) / "CeVlmDat.bin.tmp4242", "an unfinished save");
        WriteBytes(fs::path(platform::ToUtf8(appFolder)) / "VlmLog.txt", "the log");
    }

    static void ChooseUninstall(int answer)
    {
        sim::QueueMessageBoxAnswer(answer);
        sim::QueueMenuAnswer(CMD_UNINSTALL);
        OpenTrayMenu();
    }

    // Every file and folder under the folder, relative to it.
    static std::set<std::string> Tree(const fs::path& folder)
    {
        std::set<std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            entries.insert(fs::relative(entry.path(), folder).string());
        return entries;
    }

    static std::vector<std::u16string> ShellFiles()
    {
        std::vector<std::u16string> files;
        for (const sim::ShellRequest& request : sim::ShellRequests()) files.push_back(request.file);
        return files;
    }

    fs::path home_;
    fs::path program_;
};

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

TEST_F(UninstallTest, AnInstalledCopyKeepsItsDataInTheUsersFolder)
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
