// Uninstalling. Not built yet: nothing is removed and the program goes on.
#include "dialogs/uninstall.h"

int UninstallInstalled(platform::WindowHandle) { return 0; }

int UninstallUnpacked(platform::WindowHandle) { return 0; }
