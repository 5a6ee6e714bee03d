// Uninstalling. Not built yet: nothing is removed and the program goes on.
#include "dialogs/uninstall.h"

bool IsInstalled(const std::u16string&) { return false; }

int UninstallInstalled(platform::WindowHandle) { return 0; }

int UninstallUnpacked(platform::WindowHandle) { return 0; }
