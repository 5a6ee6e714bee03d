// Two small helpers of the dialogs: handing a file or an address to the
// desktop, and centring a dialog on the screen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

// Opens the file or address with the desktop's default application
// (verb "open"). True when the desktop accepted it.
bool ShellOpen(const std::u16string& file);

// Opens one of the program's own files (the help page, the deletion log)
// with the desktop's application for it. When the desktop has none, the
// main window hears MSG_NOT_OPENED with `command`, the command that asked.
void ShellOpenProgramFile(const std::u16string& file, std::uint32_t command);

// Moves the dialog so that it stands in the middle of the screen, keeping
// its size; a dialog larger than the screen gets a negative position.
void CentreDialog(platform::WindowHandle dialog);
