// Icon images of the program's resources, for whatever else in the Qt
// backend shows them (the tray icon, the dialogs).
#pragma once

#include <QIcon>

#include "platform/types.h"

namespace platform::qt {

// The program's icon (resource 138) at both drawn sizes.
QIcon ProgramIcon();

// The icon an IconHandle stands for; a null icon for an unknown handle.
QIcon IconOf(IconHandle icon);

}  // namespace platform::qt
