// Start-up, the message loop and shutdown: the paths (beside the program
// file, or in the user's data folder for an installed copy), the Data
// folder, one instance per Data folder, the default settings, the note table
// and the data file, the window class, the hidden main window and the notes'
// windows, and then the hand-offs from later starts. Start reading at
// AppMain.
#include "app/startup.h"

#include <cstdio>

#include "app/note_windows.h"
#include "app/sync_reload.h"
#include "app/window_proc.h"
#include "edit/auto_size.h"
#include "note/levels.h"
#include "note/painting.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/text.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/edit_recovery.h"
#include "store/installation.h"
#include "store/messages.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/save_writer.h"
#include "store/text_files.h"

namespace {

constexpr std::uint32_t kErrorBox =
    platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground;
constexpr platform::Rect kMainWindowPlace{20000, 20000, 20000 + 160, 20000 + 40};
constexpr std::uint32_t kToBottomFlags = platform::swp::NoSize | platform::swp::NoMove |
                                         platform::swp::NoActivate | platform::swp::ShowWindow;
// Ends a start-up that could not go on; the program's own failures that the
// user must hear of end with 1.
constexpr int kExitQuietly = 0;
constexpr int kExitFailed = 1;
// A later start waits this long, in all, for the running instance to take
// its note: the running instance may itself be starting, with a large data
// file or among a burst of starts.
constexpr int kHandOffRetryMs = 50;
constexpr int kHandOffAttempts = 400;

// The lock file in the Data folder, whose lock marks the running instance.
std::u16string lockFile;

// A folder that cannot be made is a thing the user can mend (a file in its
// place, a folder without write permission), so the message names the
// folder and the system's reason below its first line.
bool EnsureDataFolder()
{
    if (IsExistingFolder(dataFolder)) return true;
    // An installed copy's folder in the user's data folder is made on its
    // first start, with whatever parents a fresh home folder lacks.
    if ((!installedCopy || platform::CreateUserFolder(appFolder)) && platform::CreateFolder(dataFolder)) return true;
    const std::u16string reason = platform::LastFileErrorText();
    // Another start may have made it meanwhile.
    if (IsExistingFolder(dataFolder)) return true;
    platform::ShowMessageBox(u"Data フォルダが作成できません\n\n" + dataFolder + u"\n" + reason, kBoxCaption, kErrorBox);
    return false;
}

bool InitProgramPaths()
{
    if (InitPaths(platform::GetModuleFilePath()) && JoinPath(lockFile, dataFolder, kLockFileName)) return true;
    platform::ShowMessageBox(u"プログラムのフォルダのパスが長すぎます。", kBoxCaption, kErrorBox);
    return false;
}

// Ends a start-up that found another instance running; false when the
// program is the first and goes on.
bool EndAsLaterStart(Instance instance, int& exitCode)
{
    switch (instance) {
    case Instance::First: return false;
    case Instance::HandedOver: exitCode = kExitQuietly; return true;
    case Instance::Unreachable:
        std::fputs("cevelmo: the program already running on this Data folder does not answer; "
                   "no new note was made\n",
                   stderr);
        break;
    case Instance::Unlockable:
        platform::ShowMessageBox(u"Data フォルダに書き込めません", kBoxCaption, kErrorBox);
        break;
    }
    exitCode = kExitFailed;
    return true;
}

// A note's text is Japanese: a face without Japanese glyphs would draw it
// with another face's, which measures differently. A Japanese face of the
// desktop's takes its place, at the same size.
void UseJapaneseFace(platform::FontDescription& font)
{
    if (platform::FontFamilyHasJapanese(font.faceName.data())) return;
    const std::u16string japanese = platform::JapaneseFontFamily();
    if (japanese.empty()) return;
    font.faceName.fill(u'\0');
    japanese.copy(font.faceName.data(), font.faceName.size() - 1);
}

// An edit that a crash or a kill cut off left what the user typed in the
// recovery copy: it goes back into its note (a new note when its note is
// gone), which is fitted to it and stored as the end of the edit would
// have done, and then the copy goes. A copy that cannot be read stays for
// the user.
void RestoreRecoveredEdit()
{
    std::u16string unreadable;
    const std::optional<RecoveredEdit> edit = ReadEditRecovery(unreadable);
    if (!unreadable.empty())
        std::fprintf(stderr, "cevelmo: %s is no whole copy of an edit; it is left as it is\n",
                     platform::ToUtf8(unreadable).c_str());
    if (!edit) return;
    std::int32_t index = FindRecoveredNote(*edit);
    if (index < 0) {
        if (CreateNoteWindows(platform::sw::ShowNormal) == 0) return;
        index = noteTable.count - 1;
    }
    NoteRecord& note = noteTable.notes[index];
    if (note.text != edit->text) {
        ReplaceNoteText(note, edit->text);
        FitNoteToText(note.window);
        RepaintNote(note.window);
        SaveDataFileAfter(SaveTrigger::EditRecovered);
    }
    EndEditRecovery();
}

}  // namespace

Instance AcquireSingleInstance(const std::u16string& lock)
{
    for (int attempt = 0; attempt < kHandOffAttempts; ++attempt) {
        if (attempt > 0) platform::SleepMilliseconds(kHandOffRetryMs);
        switch (platform::AcquireInstanceLock(lock)) {
        case platform::InstanceLock::Acquired: return Instance::First;
        case platform::InstanceLock::Failed: return Instance::Unlockable;
        case platform::InstanceLock::AlreadyExists: break;
        }
        // The running instance listens only once its main window can take
        // the note, and stops when that window ends: until then, and while
        // it ends and lets its lock go, this start tries again.
        if (platform::HandOffToRunningInstance(lock) == platform::HandOff::Queued) return Instance::HandedOver;
    }
    return Instance::Unreachable;
}

int InitDefaultSettings()
{
    noteSettings.hotkeyKey = {u'F', 0};
    noteSettings.hotkeyAlt = noteSettings.hotkeyCtrl = noteSettings.hotkeyShift = 0;
    noteSettings.trayIcon = 1;
    noteSettings.editGesture = 1;
    noteSettings.inputMode = 0;
    noteSettings.defaultFont = platform::FontDescription{};
    if (!platform::DescribeSystemFont(noteSettings.defaultFont)) return 0;
    UseJapaneseFace(noteSettings.defaultFont);
    return 1;
}

bool RegisterNoteClass()
{
    return platform::RegisterWindowClass(kClassName,
                                         platform::cs::HorizontalRedraw | platform::cs::VerticalRedraw |
                                             platform::cs::DoubleClicks,
                                         WindowProc);
}

int CreateMainWindow(int showCommand)
{
    mainWindow = platform::CreateAppWindow(kClassName, kWindowTitle, kMainWindowPlace);
    if (mainWindow == 0) return 0;
    platform::ShowAppWindow(mainWindow, showCommand);
    platform::UpdateAppWindow(mainWindow);
    platform::PlaceWindow(mainWindow, platform::z::Bottom, platform::Rect{}, kToBottomFlags);
    if (noteTable.pendingCount != 0) CreateNoteWindows(platform::sw::ShowNormal);
    // Without a tray icon on the screen and with every note hidden (or none
    // yet), nothing would show that the program runs: one new note does.
    if (CountShownNotes() == 0 && !TrayIconShown()) CreateNoteWindows(platform::sw::ShowNormal);
    // Only now may the desktop end the program: a save while loaded notes
    // still wait for their windows would leave them out of the data file.
    platform::SetSessionEndWindow(mainWindow);
    return 1;
}

void FreeNoteTable()
{
    if (noteTable.notes.empty()) return;
    // An editor closed now writes the data file; it must keep the tray icon
    // setting the user had, not the one the main window's end cleared.
    if (trayIconAtExit >= 0) noteSettings.trayIcon = trayIconAtExit;
    for (const NoteRecord& note : noteTable.notes)
        if (note.window != 0 && note.editWindow != 0) platform::SendWindowMessage(note.window, MSG_END_EDIT, 0, 0);
    // A change that still waits for its save timer is written now, with the
    // settings as the user had them.
    FlushDataFileSave();
    for (NoteRecord& note : noteTable.notes) note.text.reset();
    noteTable.notes.clear();
    noteTable.capacity = 0;
    noteTable.count = 0;
}

bool StartApp(int& exitCode)
{
    exitCode = kExitQuietly;
    if (!InitProgramPaths()) {
        exitCode = kExitFailed;
        return false;
    }
    // The lock lives in the Data folder, so the folder comes first.
    if (!EnsureDataFolder()) return false;
    if (EndAsLaterStart(AcquireSingleInstance(lockFile), exitCode)) return false;
    // A save killed between writing its temporary file and renaming it left
    // that file in Data (beside the file a linked data file leads to);
    // nothing will ever read it. Only the instance that holds the lock may
    // remove it: another one's save may be under way.
    platform::RemoveLeftoverTempFiles(dataFolder);
    platform::RemoveLeftoverTempFilesOf(DataFilePath());
    InitDefaultSettings();
    const bool started = AllocNoteTable() && LoadDataFile() != 0 && RegisterNoteClass() &&
                         CreateMainWindow(platform::sw::Show) != 0;
    if (!started) {
        FreeNoteTable();
        FinishSaves();
        platform::ReleaseInstanceLock();
        return false;
    }
    RestoreRecoveredEdit();
    StartKeepingInStep();
    // Not reachable by later starts is no reason to stop: the platform has
    // said why on standard error, and the menus still make notes.
    platform::ListenForHandOffs(mainWindow, platform::wm::Command, CMD_NEW_NOTE, 0);
    return true;
}

void ShutdownApp()
{
    StopKeepingInStep();
    FreeNoteTable();
    EndEditRecovery();
    // Every save is on disk before another start may take the Data folder.
    FinishSaves();
    platform::ReleaseInstanceLock();
}

// No window can be reached any more, so an open edit is not ended (that
// repaints and resizes its note) but kept in its recovery copy, which the
// next start puts back. A save that waits goes first: it may give a note a
// new text file, which the copy must name as the data file does. The
// process ends right after, so both wait for the disk writer.
void ShutdownWithoutDesktop()
{
    StopKeepingInStep();
    FlushDataFileSave();
    WriteEditRecoveryCopy();
    FinishSaves();
}

int AppMain()
{
    int exitCode = 0;
    if (!StartApp(exitCode)) return exitCode;
    exitCode = platform::RunMessageLoop();
    ShutdownApp();
    return exitCode < 0 ? 0 : exitCode;
}
