// The X11 side of the desktop: window-manager states of the program's
// windows (kept out of the taskbar and pager, above or below the others),
// the work area the panels leave, and the native event filter that serves
// the root-window key grab of the hotkey and follows the tray host.
//
// Every function is a no-op (or reports "not available") unless Qt runs on
// xcb with a native X connection.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/shared/window_state.h"
#include "platform/window.h"

class QWidget;
struct xcb_connection_t;

namespace platform::qt::x11 {

bool Available();
xcb_connection_t* Connection();
std::uint32_t RootWindowId();

// Writes the window-manager state onto a window that is about to be mapped
// (the window manager reads it when it takes the window on).
void PrepareForMapping(QWidget& widget, ZBand band);

// Changes the band of a mapped window by asking the window manager.
void ApplyBand(QWidget& widget, ZBand band);

// Gives a window that is not yet mapped the _NET_WM_WINDOW_TYPE named, in
// place of the one Qt chose from its flags.
void SetWindowType(QWidget& widget, const char* type);

// The work area from the root window's _NET_WORKAREA, when the window
// manager publishes one, in Qt's logical pixels.
std::optional<Rect> WorkArea();

// Device pixels (the X server's) per logical pixel (Qt's, the program's):
// 2 on a screen scaled for HiDPI.
double DevicePixelRatio();

// Installs the filter that re-asserts the states when a window is mapped,
// notes where the window manager says it placed a window, spares Qt reading
// back the states of windows not yet mapped, passes root-window key presses
// to the hotkey table and follows the tray host (below).
void InstallEventFilter();

// Implemented by the hotkey table: a grabbed key was pressed or released.
// Returns true when the event belongs to a registered hotkey.
bool HandleGrabbedKey(bool press, std::uint8_t keycode, std::uint16_t state);

// Implemented by the shell: a tray host started or ended. The tray host owns
// the _NET_SYSTEM_TRAY_S0 selection; one that starts announces itself with a
// MANAGER message on the root window, and the owner's window is destroyed
// when it ends. Called from the event filter, before Qt itself has seen the
// event.
void TrayHostChanged();

}  // namespace platform::qt::x11
