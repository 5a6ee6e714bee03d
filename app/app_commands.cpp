// The application commands: the dialogs that change the settings, the tray
// icon switch, the help page, the deletion log, uninstalling, and showing a
// note chosen from the tray menu. A BusyGuard sets dialogBusy around every
// modal dialog so that no menu opens over it.
#include "app/app_commands.h"

#include "app/hotkey.h"
#include "app/tray.h"
#include "dialogs/about.h"
#include "dialogs/font_dialog.h"
#include "dialogs/settings.h"
#include "dialogs/shell_open.h"
#include "dialogs/uninstall.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/deletion_log.h"
#include "store/installation.h"
#include "store/messages.h"
#include "store/paths.h"
#include "store/records.h"

void RunAbout(platform::WindowHandle window, platform::LParam)
{
    {
        const BusyGuard busy(dialogBusy);
        RunAboutDialog();
    }
    platform::BringToForeground(window);
}

// The hotkey is taken anew whatever the dialog returned, so a changed key
// takes effect and an unchanged one is held again.
void RunSettings(platform::WindowHandle window, platform::LParam)
{
    {
        const BusyGuard busy(dialogBusy);
        RunSettingsDialog();
    }
    UnregisterAppHotkey();
    RegisterHotkeyFromSettings(mainWindow);
    platform::BringToForeground(window);
}

void RunDefaultFont(platform::WindowHandle window, platform::LParam)
{
    platform::FontDescription font = noteSettings.defaultFont;
    int result = 0;
    {
        const BusyGuard busy(dialogBusy);
        result = RunFontDialog(font);
    }
    if (result == 1) noteSettings.defaultFont = font;
    platform::BringToForeground(window);
}

void ToggleTrayIcon(platform::WindowHandle, platform::LParam)
{
    if (noteSettings.trayIcon == 0) {
        noteSettings.trayIcon = 1;
        AddTrayIcon(mainWindow);
    } else {
        noteSettings.trayIcon = 0;
        RemoveTrayIcon(mainWindow);
    }
}

void OpenHelp(platform::WindowHandle, platform::LParam)
{
    if (IsExistingFile(helpPath)) ShellOpenProgramFile(helpPath, CMD_HELP);
}

void OpenDeletionLog()
{
    const std::u16string path = LogFilePath();
    if (IsExistingFile(path)) ShellOpenProgramFile(path, CMD_SHOW_LOG);
}

// Without an application for the file the user saw nothing happen; what is
// missing can be installed, so the box names the file and what opens it.
void TellNotOpened(platform::WParam command)
{
    const std::u16string text =
        command == CMD_HELP
            ? u"ヘルプ (CeVelmo.htm) を開けませんでした。\n\n" + helpPath +
                  u"\n\nこのページを開くには Web ブラウザーが必要です。"
            : u"ログ (VlmLog.txt) を開けませんでした。\n\n" + LogFilePath() +
                  u"\n\nこのファイルを開くにはテキスト エディターが必要です。";
    const BusyGuard busy(dialogBusy);
    platform::ShowMessageBox(text, kBoxCaption,
                             platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground);
}

void ShowLog(platform::WindowHandle, platform::LParam) { OpenDeletionLog(); }

// A completed uninstall ends the program without writing the data file,
// not even a change that waits to be written.
void RunUninstall(platform::WindowHandle window, platform::LParam)
{
    // The copy is what start-up found it to be, where its data is.
    const int removed = installedCopy ? UninstallInstalled(window) : UninstallUnpacked(window);
    if (removed == 0) return;
    StopDataFileSaves();
    PostCommand(window, CMD_EXIT, 0);
}

void ShowListedNote(std::uint32_t n)
{
    if (static_cast<std::int64_t>(n) >= noteTable.count) return;
    const platform::WindowHandle note = noteTable.notes[n].window;
    PostCommand(note, CMD_SHOW_NOTE, 0);
    PostCommand(note, CMD_SAVE_DATA, 0);
}
