// The settings dialog: the launchers on the desktop and in the autostart
// folder, the gesture that opens a note's editor, the input mode of the
// editor and the system-wide hotkey.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Runs the settings dialog modally; 1 when confirmed with OK, 2 when closed
// otherwise, 0 when it did not open.
int RunSettingsDialog();

platform::LResult SettingsDialogProc(platform::WindowHandle dialog, std::uint32_t message, platform::WParam wParam,
                                     platform::LParam lParam);

// The hotkey settings into the dialog, out of it, and the key box enabled
// exactly while a modifier is ticked.
void ShowHotkeyControls(platform::WindowHandle dialog);
void ReadHotkeyControls(platform::WindowHandle dialog);
void EnableHotkeyEdit(platform::WindowHandle dialog);
