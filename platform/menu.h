// Popup menus: built item by item, shown at a screen point, and closed
// again with the chosen command id handed back to the caller.
//
// A menu is a list of items; an item is a command (id and label), a
// separator, or a submenu (another menu, shown when the item is chosen).
// While a menu is shown a nested message loop runs, so posted messages are
// delivered as usual.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

using MenuHandle = std::uint32_t;

// Item flags: one kind (plain command, submenu, separator) plus the state.
namespace mf {
inline constexpr std::uint32_t Plain = 0x0;
inline constexpr std::uint32_t Grey = 0x1;
inline constexpr std::uint32_t Checked = 0x8;
inline constexpr std::uint32_t Submenu = 0x10;
inline constexpr std::uint32_t Separator = 0x800;
}  // namespace mf

// Tracking flags: where the point lies on the menu, and how the choice is
// reported.
namespace tpm {
inline constexpr std::uint32_t LeftAlign = 0x0;
inline constexpr std::uint32_t RightAlign = 0x8;
inline constexpr std::uint32_t TopAlign = 0x0;
inline constexpr std::uint32_t BottomAlign = 0x20;
inline constexpr std::uint32_t ReturnCommand = 0x100;
}  // namespace tpm

// An empty popup menu; 0 on failure.
MenuHandle CreatePopupMenuHandle();

// Destroys this menu only; menus attached to it as submenus stay alive until
// they are destroyed themselves. False for a handle that names no menu.
bool DestroyMenuHandle(MenuHandle menu);

// Appends an item. For mf::Submenu, `item` is the submenu's handle; for a
// command it is the command id; for mf::Separator it and the label are
// ignored. False when the menu (or the submenu) does not exist.
bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t item, const std::u16string& label);

// Shows the menu with the corner that the tpm:: alignment names at the
// screen point, kept on the screen, owned by the window, and waits until it
// closes. With tpm::ReturnCommand the chosen command id is returned (0 when
// the menu was dismissed) and nothing is posted; without it the choice is
// posted to the owner as wm::Command (lParam 0) and the result is 1.
int TrackPopupMenuAt(MenuHandle menu, std::uint32_t flags, Point at, WindowHandle owner);

}  // namespace platform
