// Two small helpers of the dialogs: handing a file or an address to the
// desktop, and centring a dialog on the screen.
#pragma once

#include <string>

#include "platform/types.h"

// Opens the file or address with the desktop's default application
// (verb "open"). True when the desktop accepted it.
bool ShellOpen(const std::u16string& file);

// Moves the dialog so that it stands in the middle of the screen, keeping
// its size; a dialog larger than the screen gets a negative position.
void CentreDialog(platform::WindowHandle dialog);
