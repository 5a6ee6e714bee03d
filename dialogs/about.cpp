// The about box. Not built yet: it does not open.
#include "dialogs/about.h"

int RunAboutDialog() { return 0; }
