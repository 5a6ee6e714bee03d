// The settings dialog. Not built yet: it does not open, as if cancelled.
#include "dialogs/settings.h"

int RunSettingsDialog() { return 0; }
