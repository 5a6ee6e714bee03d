// The uninstall command: removing an installed or an unpacked program.
#pragma once

#include <string>

#include "platform/types.h"

// True when the program in this folder was installed (not just unpacked).
bool IsInstalled(const std::u16string& folder);
// Non-zero when the program was removed and must end.
int UninstallInstalled(platform::WindowHandle owner);
int UninstallUnpacked(platform::WindowHandle owner);
