// The program started as an unpacked or an installed copy, with a home
// folder of its own: a desktop and an autostart folder, and a data home
// that does not exist yet. Helpers lay out an installation, the program's
// launchers and the files a run leaves, and choose Uninstall.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "dialogs/shortcuts.h"
#include "menu_fixture.h"
#include "platform/shell.h"
#include "store/deletion_log.h"
#include "store/installation.h"

class InstallTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        home_ = folder_ / "home";
        std::filesystem::create_directories(Desktop());
        std::filesystem::create_directories(Autostart());
        sim::SetSpecialFolder(platform::csidl::Desktop, platform::FromUtf8(Desktop().string()));
        sim::SetSpecialFolder(platform::csidl::Startup, platform::FromUtf8(Autostart().string()));
        sim::SetSpecialFolder(platform::csidl::LocalAppData, platform::FromUtf8(DataHome().string()));
        UseProgramIn(folder_);
    }

    void TearDown() override
    {
        installedCopy = false;
        MenuTest::TearDown();
    }

    std::filesystem::path Desktop() const { return home_ / "Desktop"; }
    std::filesystem::path Autostart() const { return home_ / ".config" / "autostart"; }
    std::filesystem::path DataHome() const { return home_ / ".local" / "share"; }

    void UseProgramIn(const std::filesystem::path& folder)
    {
        program_ = folder / "cevelmo";
        WriteBytes(program_, "the program");
        sim::SetModulePath(platform::FromUtf8(program_.string()));
    }

    // An installation under prefix whose record names the folder given.
    void Install(const std::filesystem::path& prefix, const std::filesystem::path& recordedFolder)
    {
        UseProgramIn(prefix / "bin");
        WriteBytes(prefix / "share" / "cevelmo" / "install-record",
                   "Instl=1\nInstlDir=" + recordedFolder.string() + "\n");
        WriteBytes(prefix / "share" / "cevelmo" / "CeVelmo.htm", "<html>");
    }

    void Launcher(const std::filesystem::path& path, const std::string& command) const
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

    // The program's own files in Data and the log, as runs (also an older
    // copy's) leave them: data, texts, saves' leftovers, edits' copies, lock.
    void MakeProgramFiles() const
    {
        ASSERT_NE(SaveDataFile(), 0);
        for (const char* name : {"VLM00000.txt", "VLM00012.txt", "~CeVlmDat.bin.cevelmo-save-a1B2c3.tmp",
                                 ".CeVlmDat.bin.cevelmo-save-a1B2c3", "~CeVlmEdit.tmp", "CeVlmEdit.txt"})
            WriteBytes(std::filesystem::path(platform::ToUtf8(dataFolder)) / name, "the program's");
        WriteBytes(std::filesystem::path(platform::ToUtf8(appFolder)) / "VlmLog.txt", "the log");
    }

    static void ChooseUninstall(int answer)
    {
        sim::QueueMessageBoxAnswer(answer);
        sim::QueueMenuAnswer(CMD_UNINSTALL);
        OpenTrayMenu();
    }

    // Every file and folder under the folder, relative to it.
    static std::set<std::string> Tree(const std::filesystem::path& folder)
    {
        std::set<std::string> entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            entries.insert(std::filesystem::relative(entry.path(), folder).string());
        return entries;
    }

    static std::vector<std::u16string> ShellFiles()
    {
        std::vector<std::u16string> files;
        for (const sim::ShellRequest& request : sim::ShellRequests()) files.push_back(request.file);
        return files;
    }

    std::filesystem::path home_;
    std::filesystem::path program_;
};

