// Which desktop Qt starts on, decided before it starts. Internal to the Qt
// backend.
#pragma once

#include <string>

namespace platform::qt {

// "xcb" when the program is to run on X where Qt would choose Wayland: in a
// Wayland session that offers XWayland (DISPLAY names an X display that
// answers), unless the user chose a platform through QT_QPA_PLATFORM. Empty
// otherwise, which leaves the choice to Qt.
std::string PlatformToRunOn();

}  // namespace platform::qt
