// The uninstall command: removing an installed or an unpacked program.
#pragma once

#include "platform/types.h"

// Non-zero when the program was removed and must end.
int UninstallInstalled(platform::WindowHandle owner);
int UninstallUnpacked(platform::WindowHandle owner);
