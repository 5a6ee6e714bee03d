// Uninstalling: removing what this program made, then handing over to the
// desktop to remove the program itself.
//
// Only what the program made goes: the launchers that start it (on the
// desktop and in autostart, whatever their names), its own files in Data
// (the data file, the note files by their name pattern, an edit's recovery
// copy, unfinished saves, the lock file), the deletion log, and the folders
// this leaves empty. The program's folder may be a build tree, a home
// folder or <prefix>/bin, full of files that are the user's or other
// programs': any other file stays, and so does a folder that still holds
// one.
#include "dialogs/uninstall.h"

#include <cstdint>
#include <string>

#include "dialogs/shell_open.h"
#include "dialogs/shortcuts.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/deletion_log.h"
#include "store/edit_recovery.h"
#include "store/installation.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/save_writer.h"
#include "store/text_files.h"

namespace {

constexpr char16_t kInstalledQuestion[] =
    u"付箋紙 CeVelmo をアンインストールします\n\n    よろしいでしょうか？\n\n"
    u"「はい」をタップすると付箋紙関連データを削除した後に\n"
    u"アプリケーションの削除ダイアログを起動しますので\n"
    u"ここで Morvane CeVelmo を選択し削除ボタンを\nタップしてください";
constexpr char16_t kUnpackedQuestion[] =
    u"付箋紙 CeVelmo をアンインストールします\n\n    よろしいでしょうか？\n\n"
    u"「はい」をタップすると付箋紙関連データを削除した後に\n"
    u"CeVelmo のフォルダを開きますのでフォルダごと\n削除してください";
constexpr std::uint32_t kQuestionBox =
    platform::mb::YesNo | platform::mb::IconQuestion | platform::mb::SetForeground;

// The desktop's software centre shows the installed program by its id, with
// its Remove button.
constexpr char16_t kSoftwareCentreScheme[] = u"appstream://";

bool Confirmed(const char16_t* question)
{
    return platform::ShowMessageBox(question, kBoxCaption, kQuestionBox) == platform::id::Yes;
}

// Every launcher in the folder that starts the program goes, also one the
// user copied under another name. One that cannot be deleted would be found
// again, so the search ends there.
void RemoveLaunchers(int folderId)
{
    while (const std::optional<std::u16string> launcher = FindShortcut(modulePath, folderId))
        if (!platform::DeleteFileAt(*launcher)) return;
}

bool IsProgramDataFile(const std::u16string& path, const std::u16string& name)
{
    return path == DataFilePath() || name == kLockFileName || name == kEditRecoveryName ||
           name == kOlderEditRecoveryName || IsNoteFileName(name);
}

void RemoveDataFiles()
{
    // A save the disk writer commits later would bring a file back.
    FinishSaves();
    for (const std::u16string& name : platform::ListFolderFiles(dataFolder)) {
        std::u16string path;
        if (JoinPath(path, dataFolder, name) && IsProgramDataFile(path, name)) platform::DeleteFileAt(path);
    }
    platform::RemoveLeftoverTempFiles(dataFolder);
}

// Files that cannot be deleted and folders that still hold anything are
// passed over: the rest goes all the same.
void RemoveProgramData()
{
    RemoveLaunchers(platform::csidl::Desktop);
    RemoveLaunchers(platform::csidl::Startup);
    // Given back first: a holder whose lock file goes would make it again.
    platform::ReleaseInstanceLock();
    RemoveDataFiles();
    platform::DeleteFileAt(LogFilePath());
    platform::RemoveEmptyFolder(dataFolder);
    // An unpacked copy's folder still holds the program file; an installed
    // copy's folder in the user's data folder is empty now unless the user
    // keeps something there.
    platform::RemoveEmptyFolder(appFolder);
}

}  // namespace

// A shell that cannot open the page or the folder is not reported: the
// program's data is gone either way.
int UninstallInstalled(platform::WindowHandle)
{
    if (!Confirmed(kInstalledQuestion)) return 0;
    RemoveProgramData();
    ShellOpen(kSoftwareCentreScheme + ComponentId());
    return 1;
}

int UninstallUnpacked(platform::WindowHandle)
{
    if (!Confirmed(kUnpackedQuestion)) return 0;
    RemoveProgramData();
    ShellOpen(appFolder);
    return 1;
}
