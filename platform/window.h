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
bool RegisterWindowClass(const std::u16string& className, std::uint32_t classStyle, WindowProcFn proc);

// Creates a top-level window of a registered class. wm::Create is sent to the
// procedure before this returns (so the caller's copy of the handle is still
// unset while it runs). Returns 0 on failure. The window starts hidden.
WindowHandle CreateAppWindow(const std::u16string& className, const std::u16string& title, Rect bounds);

// Destroys a window: wm::Destroy runs before this returns; afterwards the
// handle names no window. Returns false for a handle that names no window.
bool DestroyAppWindow(WindowHandle window);

// Show commands: sw::Hide, sw::ShowNormal, sw::Show. Returns whether the window
// was visible before. sw::ShowNormal also asks for the window's activation
// (below); hiding the active window deactivates it at once.
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

// Repainting: mark the whole client area for repainting (with or without the
// background erase), and deliver a pending repaint now.
void InvalidateWindow(WindowHandle window, bool erase);
void UpdateAppWindow(WindowHandle window);

// Activation, foreground and keyboard focus. The foreground window is the
// active one. Only a mapped window (shown and on a screen) can be activated
// or take the keyboard focus: the main window, far off the screen, never is.
// Activation the program asks for (bringing to the foreground, showing
// normally, a placement without swp::NoActivate other than to the bottom)
// arrives later from the loop, after the posted messages pending, as
// wm::Activate to the old window and then to the new one.
//
// BringToForeground puts the window in front of its band at once; false for
// a handle that names no window.
bool BringToForeground(WindowHandle window);
WindowHandle GetForegroundAppWindow();
// Gives the keyboard focus to a window (0: to none) and returns the window
// that had it, or 0 when this window cannot take it. Inside the active
// window the focus moves at once (wm::KillFocus, wm::SetFocus); another
// window is activated first, and takes the focus with its activation.
WindowHandle SetKeyboardFocus(WindowHandle window);

// Pointer capture: the captured window receives every pointer message.
void CapturePointer(WindowHandle window);
void ReleasePointer();

// Where the pointer is now, in screen coordinates.
Point GetPointerPosition();

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

// Screen and work area (the screen less the desktop's panels).
Rect GetScreenBounds();
Rect GetWorkArea();

}  // namespace platform

namespace platform {

// The window that is destroyed when the desktop ends the program (the end of
// the user's session, SIGTERM, SIGHUP or SIGINT); its wm::Destroy ends the
// loop. The desktop's request is carried out by a loop, never in the middle
// of a handler; one that comes before a window is named waits until one is,
// and the first loop that runs after that carries it out. Meanwhile it closes
// the message box open then, as Escape does: before its windows stand, the
// program shows a box only when it cannot start. 0 names none.
//
// When the connection to the desktop breaks (the X server ends, a forwarded
// display drops), the toolkit ends the process on the spot with exit code 1;
// the named window hears wm::EndSession first.
void SetSessionEndWindow(WindowHandle window);

}  // namespace platform
