// Plain types and numeric values shared by the whole program and the
// platform backends: handles, rectangles, message numbers, key codes and the
// flag values that callers pass through unchanged.
//
// Handles are opaque numbers; 0 always means "none". A backend may reuse
// nothing: a destroyed window's handle is never handed out again in a run.
#pragma once

#include <cstdint>

namespace platform {

using WindowHandle = std::uint32_t;
using FontHandle = std::uint32_t;
using IconHandle = std::uint32_t;
using DrawContext = std::uint32_t;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

using WindowProcFn = LResult (*)(WindowHandle, std::uint32_t, WParam, LParam);

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Packs two signed 16-bit values the way pointer and size messages carry them.
constexpr LParam PackPoint(std::int32_t x, std::int32_t y)
{
    return static_cast<LParam>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(x & 0xFFFF));
}
constexpr std::int32_t LowSigned(LParam v) { return static_cast<std::int16_t>(v & 0xFFFF); }
constexpr std::int32_t HighSigned(LParam v) { return static_cast<std::int16_t>((v >> 16) & 0xFFFF); }
constexpr std::uint32_t LowWord(std::uintptr_t v) { return static_cast<std::uint32_t>(v & 0xFFFF); }

// Window messages, by their numbers.
namespace wm {
inline constexpr std::uint32_t Null = 0;
inline constexpr std::uint32_t Create = 1;
inline constexpr std::uint32_t Destroy = 2;
inline constexpr std::uint32_t Move = 3;
inline constexpr std::uint32_t Size = 5;
inline constexpr std::uint32_t Activate = 6;
inline constexpr std::uint32_t SetFocus = 7;
inline constexpr std::uint32_t KillFocus = 8;
inline constexpr std::uint32_t Paint = 15;
inline constexpr std::uint32_t Close = 16;
inline constexpr std::uint32_t Quit = 18;
inline constexpr std::uint32_t EraseBackground = 20;
inline constexpr std::uint32_t KeyDown = 256;
inline constexpr std::uint32_t KeyUp = 257;
inline constexpr std::uint32_t Char = 258;
// Keys pressed with Alt held (and Ctrl not held) arrive in their system forms.
inline constexpr std::uint32_t SysKeyDown = 260;
inline constexpr std::uint32_t SysKeyUp = 261;
inline constexpr std::uint32_t SysChar = 262;
// To a dialog's procedure before it shows; lParam is the creation parameter.
inline constexpr std::uint32_t InitDialog = 272;
inline constexpr std::uint32_t Command = 273;
// The desktop's window commands; wParam is one of sc::.
inline constexpr std::uint32_t SysCommand = 274;
// A menu that the desktop draws is about to open: its owner may fill it
// anew now (the tray's own menu, platform/shell.h).
inline constexpr std::uint32_t InitMenuPopup = 279;
inline constexpr std::uint32_t MouseMove = 512;
inline constexpr std::uint32_t LeftButtonDown = 513;
inline constexpr std::uint32_t LeftButtonUp = 514;
inline constexpr std::uint32_t LeftButtonDoubleClick = 515;
inline constexpr std::uint32_t RightButtonDown = 516;
inline constexpr std::uint32_t RightButtonUp = 517;
inline constexpr std::uint32_t Hotkey = 786;
inline constexpr std::uint32_t User = 1024;
// The desktop's own news, numbered above any message of the program's:
// a tray has appeared (its host started late, or again). Posted to every
// window; tray icons can be added now, and those of an earlier tray are gone.
inline constexpr std::uint32_t TrayCreated = 0xC000;
}  // namespace wm

// System commands carried in wParam of wm::SysCommand (the low four bits
// are the desktop's own).
namespace sc {
// The desktop asks to close the window (its close button, Alt+F4, the
// window manager's close); the default processing sends wm::Close.
inline constexpr std::uint32_t Close = 0xF060;
}  // namespace sc

// Activation states carried in the low word of wParam of wm::Activate.
namespace wa {
inline constexpr std::uint32_t Inactive = 0;
inline constexpr std::uint32_t Active = 1;
inline constexpr std::uint32_t ClickActive = 2;
}  // namespace wa

// Key-state flags in wParam of pointer messages.
namespace mk {
inline constexpr std::uint32_t LeftButton = 0x0001;
inline constexpr std::uint32_t RightButton = 0x0002;
inline constexpr std::uint32_t Shift = 0x0004;
inline constexpr std::uint32_t Control = 0x0008;
}  // namespace mk

// Virtual-key codes. Letters and digits are their own upper-case character.
namespace vk {
inline constexpr std::uint32_t Back = 8;
inline constexpr std::uint32_t Tab = 9;
inline constexpr std::uint32_t Return = 13;
inline constexpr std::uint32_t Shift = 16;
inline constexpr std::uint32_t Control = 17;
inline constexpr std::uint32_t Alt = 18;
inline constexpr std::uint32_t Kana = 21;
inline constexpr std::uint32_t Escape = 27;
inline constexpr std::uint32_t Space = 32;
inline constexpr std::uint32_t PageUp = 33;
inline constexpr std::uint32_t End = 35;
inline constexpr std::uint32_t Home = 36;
inline constexpr std::uint32_t Left = 37;
inline constexpr std::uint32_t Up = 38;
inline constexpr std::uint32_t Right = 39;
inline constexpr std::uint32_t Down = 40;
inline constexpr std::uint32_t Insert = 45;
inline constexpr std::uint32_t Delete = 46;
inline constexpr std::uint32_t F1 = 0x70;
inline constexpr std::uint32_t F24 = 0x87;
// The punctuation keys are 186 to 192 and 219 to 222 (what each types on a
// US keyboard: platform/shared/key_input.h).
// A key that typed a character no other code stands for (a letter of another
// layout, a character the desktop typed for a program): the character
// follows in wm::Char.
inline constexpr std::uint32_t Packet = 231;
}  // namespace vk

// Show commands.
namespace sw {
inline constexpr int Hide = 0;
inline constexpr int ShowNormal = 1;
inline constexpr int Show = 5;
}  // namespace sw

// Insert-after values for z-order placement.
namespace z {
inline constexpr std::int32_t Top = 0;
inline constexpr std::int32_t Bottom = 1;
inline constexpr std::int32_t Topmost = -1;
inline constexpr std::int32_t NotTopmost = -2;
}  // namespace z

// Placement flags.
namespace swp {
inline constexpr std::uint32_t NoSize = 0x0001;
inline constexpr std::uint32_t NoMove = 0x0002;
inline constexpr std::uint32_t NoZOrder = 0x0004;
inline constexpr std::uint32_t NoRedraw = 0x0008;
inline constexpr std::uint32_t NoActivate = 0x0010;
inline constexpr std::uint32_t ShowWindow = 0x0040;
inline constexpr std::uint32_t HideWindow = 0x0080;
}  // namespace swp

// Class styles.
namespace cs {
inline constexpr std::uint32_t VerticalRedraw = 0x0001;
inline constexpr std::uint32_t HorizontalRedraw = 0x0002;
inline constexpr std::uint32_t DoubleClicks = 0x0008;
}  // namespace cs

// Hotkey modifier mask.
namespace mod {
inline constexpr std::uint32_t Alt = 1;
inline constexpr std::uint32_t Control = 2;
inline constexpr std::uint32_t Shift = 4;
}  // namespace mod

}  // namespace platform
