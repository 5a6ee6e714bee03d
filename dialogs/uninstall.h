// The uninstall command: removing what the program made, for an installed or
// an unpacked copy (store/installation.h), after the user's yes.
#pragma once

#include "platform/types.h"

// Ask the copy's question; on yes remove the launchers, the Data folder's
// own files, the log and the folders left empty, and open the software
// centre's page of the program (installed) or the program's folder
// (unpacked). 1 when the user said yes and the program must end, 0 when
// nothing changed.
int UninstallInstalled(platform::WindowHandle owner);
int UninstallUnpacked(platform::WindowHandle owner);
