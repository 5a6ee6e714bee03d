// What the Qt backend's files share of the shell: the program's icon for the
// windows that show one (the dialogs and message boxes; the tray icon takes
// its own images), and the tray icons shown.
#pragma once

#include <QIcon>
#include <QSystemTrayIcon>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "platform/types.h"

namespace platform::qt {

// The program's icon (resource 138) at both drawn sizes.
QIcon ProgramIcon();

// The tray icons shown, by owner and id.
using TrayKey = std::pair<WindowHandle, std::uint32_t>;
using TrayIconTable = std::map<TrayKey, std::unique_ptr<QSystemTrayIcon>>;
TrayIconTable& TrayIcons();

}  // namespace platform::qt
