// The work of the application commands (about, settings, default font, tray
// icon, help, log, uninstall, the tray menu's note list), and telling the
// user when the desktop cannot open the help page or the log. Each takes the
// window that received the command and the command's origin (1: a menu).
#pragma once

#include <cstdint>

#include "platform/types.h"

void RunAbout(platform::WindowHandle window, platform::LParam origin);
void RunSettings(platform::WindowHandle window, platform::LParam origin);
void RunDefaultFont(platform::WindowHandle window, platform::LParam origin);
void ToggleTrayIcon(platform::WindowHandle window, platform::LParam origin);
void OpenHelp(platform::WindowHandle window, platform::LParam origin);
void ShowLog(platform::WindowHandle window, platform::LParam origin);
void RunUninstall(platform::WindowHandle window, platform::LParam origin);

// Opens the deletion log in the desktop's viewer for text files; nothing
// when there is no log.
void OpenDeletionLog();

// MSG_NOT_OPENED: tells the user that the desktop has no application for
// the help page (CMD_HELP) or the log (CMD_SHOW_LOG), and what would open it.
void TellNotOpened(platform::WParam command);

// CMD_SHOW_NOTE_BASE + n: shows note n and writes the data file once.
void ShowListedNote(std::uint32_t n);
