// Keyboard and mouse input of the Qt backend turned into window messages:
// Qt's keys and the virtual keys, a key press as wm::KeyDown (or its system
// form) followed by the characters it typed, and the pointer messages with
// their flags and client point. The note widget and the editor control both
// form their messages here, so they read the keyboard alike.
//
// Internal to the Qt backend.
#pragma once

#include <QKeyEvent>
#include <QMouseEvent>

#include <cstdint>

#include "platform/types.h"

namespace platform::qt {

// The virtual key of a Qt key, 0 for a key that has none; and back (the
// first Qt key that stands for the virtual key, Qt::Key_unknown for none).
std::uint32_t VirtualKeyOf(int qtKey);
int QtKeyOf(std::uint32_t virtualKey);

// Sends the messages of a key press: wm::KeyDown (with Alt held and Ctrl not
// held: wm::SysKeyDown) with the virtual key, then one wm::Char (wm::SysChar)
// per character typed. Stops when the window goes away.
void SendKeyPress(WindowHandle window, const QKeyEvent& event);
void SendKeyRelease(WindowHandle window, const QKeyEvent& event);

// The mk:: flags of the buttons and modifiers, and one pointer message with
// the event's point in the receiver's client coordinates.
WParam PointerFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
void SendPointer(WindowHandle window, std::uint32_t message, const QMouseEvent& event);
// The left or the right button's press or release as its pointer message;
// other buttons send nothing.
void SendButton(WindowHandle window, const QMouseEvent& event, bool pressed);

}  // namespace platform::qt
