// Windows and messages: the one window class, window creation and
// destruction, geometry, visibility, z-order, activation and focus, pointer
// capture, key state, and the posted-message queue with its loop.
//
// Every call comes from the one user-interface thread. A sent message runs
// the window procedure before the call returns; a posted message runs later,
// in posting order, from whichever loop is running (the main loop or the
// nested loop of a menu or dialog).
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// Registers the window class that every window of the program belongs to.
// Returns false when the class cannot be registered.
bool RegisterWindowClass(const std::u16string& className, std::uint32_t classStyle,
                         WindowProcFn proc, int iconResource);

// Creates a top-level window of a registered class. wm::Create is sent to the
// procedure before this returns (so the caller's copy of the handle is still
// unset while it runs). Returns 0 on failure. The window starts hidden.
WindowHandle CreateAppWindow(const std::u16string& className, const std::u16string& title,
                             std::uint32_t exStyle, std::uint32_t style, Rect bounds);

// Destroys a window: wm::Destroy runs before this returns; afterwards the
// handle names no window. Returns false for a handle that names no window.
bool DestroyAppWindow(WindowHandle window);

bool IsLiveWindow(WindowHandle window);

// A window of this process with the given class and title, or 0.
WindowHandle FindAppWindow(const std::u16string& className, const std::u16string& title);

// Show commands: sw::Hide, sw::ShowNormal, sw::Show. Returns whether the window
// was visible before.
bool ShowAppWindow(WindowHandle window, int showCommand);
bool IsWindowShown(WindowHandle window);

// The window's rectangle in screen coordinates; the client area is the same
// rectangle (the program's windows have no border).
Rect GetWindowBounds(WindowHandle window);

// Moves and resizes; wm::Move and wm::Size are sent when they change.
bool MoveAppWindow(WindowHandle window, Rect bounds, bool repaint);

// Places a window in the z-order behind insertAfter (z::Topmost, z::NotTopmost,
// z::Top or z::Bottom) and applies the swp:: flags. The band a window lives in
// (topmost, normal, bottom) follows the last placement.
bool PlaceWindow(WindowHandle window, std::int32_t insertAfter, Rect bounds, std::uint32_t flags);

// Where a window stands: its band and its rank among all windows, 0 = in front.
// Bands are declared front to back, so they compare in stacking order.
enum class ZBand { Topmost, Normal, Bottom };
ZBand GetZBand(WindowHandle window);
int GetZRank(WindowHandle window);

// Repainting: mark the whole client area for repainting (with or without the
// background erase), and deliver a pending repaint now.
void InvalidateWindow(WindowHandle window, bool erase);
void UpdateAppWindow(WindowHandle window);

// Activation, foreground and keyboard focus.
bool BringToForeground(WindowHandle window);
WindowHandle GetForegroundAppWindow();
WindowHandle GetActiveAppWindow();
WindowHandle SetKeyboardFocus(WindowHandle window);
WindowHandle GetKeyboardFocus();

// Pointer capture: the captured window receives every pointer message.
void CapturePointer(WindowHandle window);
void ReleasePointer();
WindowHandle GetPointerCapture();

// True when the key (vk::Shift, vk::Control, vk::Alt, ...) is down at the time
// the current message is handled.
bool IsKeyHeld(std::uint32_t virtualKey);

// Messages.
bool PostWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
LResult SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
// The default processing: wm::Close destroys the window, sc::Close of
// wm::SysCommand sends wm::Close, an activated window takes the keyboard
// focus, the background is erased in white.
LResult DefaultWindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
void PostQuit(int exitCode);

// Runs the main message loop until the quit message; returns its exit code.
int RunMessageLoop();

// Delivers every posted message that is pending now, and those they post in
// turn, then returns. The nested loops of menus and dialogs do the same.
void PumpMessages();

// Screen and work area (the screen less the desktop's panels).
Rect GetScreenBounds();
Rect GetWorkArea();

}  // namespace platform

namespace platform {

// The window that is destroyed when the desktop ends the program (the end of
// the user's session, SIGTERM, SIGHUP or SIGINT); its wm::Destroy ends the
// loop. The desktop's request is carried out by a loop, never in the middle
// of a handler; one that comes before a window is named waits until one is,
// and the first loop that runs after that carries it out. 0 names none.
void SetSessionEndWindow(WindowHandle window);

// For tests: the desktop asks to close the window, as its close button,
// Alt+F4 or the window manager's close do; wm::SysCommand with sc::Close is
// sent to the window.
void DeliverCloseRequest(WindowHandle window);

// For tests: asks the program to end as the desktop would, by a signal or by
// the toolkit's own quit at the end of a session.
enum class SessionEnd { Terminate, Hangup, Interrupt, DesktopQuit };
void RequestSessionEnd(SessionEnd how);

}  // namespace platform
