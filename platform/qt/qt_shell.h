// The program's icon for the windows of the Qt backend that show one: the
// dialogs and message boxes (the tray icon takes its own images).
#pragma once

#include <QIcon>

namespace platform::qt {

// The program's icon (resource 138) at both drawn sizes.
QIcon ProgramIcon();

}  // namespace platform::qt
