// The items of the program's popup menus, each defined once: its command,
// its label and the rules that grey or tick it. The tray menu and a note's
// context menu are outlines of these commands with separators and
// submenus, so an item that stands in both menus reads and behaves the same
// in both. Start reading at the table in menu_items.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "platform/menu.h"
#include "platform/types.h"
#include "store/records.h"

// What the rules look at besides the program's state: the note whose menu
// is open, or none for the tray menu.
struct MenuContext {
    const NoteRecord* note = nullptr;
};

struct Submenu;

// One line of a menu outline: a command's item, a submenu, or (neither) a
// separator.
struct MenuEntry {
    std::uint32_t command = 0;
    const Submenu* submenu = nullptr;
};

// A submenu: the label of the item that opens it, and its lines, or the
// function that fills it when its lines depend on the notes.
struct Submenu {
    std::u16string_view label;
    std::span<const MenuEntry> entries;
    int (*fill)(platform::MenuHandle menu) = nullptr;
};

inline constexpr MenuEntry kMenuSeparator{};
constexpr MenuEntry MenuItem(std::uint32_t command) { return MenuEntry{command, nullptr}; }
constexpr MenuEntry MenuOpens(const Submenu& submenu) { return MenuEntry{0, &submenu}; }

// Both menus end in the application's own items under this label.
inline constexpr std::u16string_view kApplicationMenuLabel = u"CeVelmo (&H)";

// Appends the command's item, greyed and ticked by its rules.
void AppendMenuCommand(platform::MenuHandle menu, std::uint32_t command, const MenuContext& context);

// Builds an outline into popup menus and hands the top one to `use`; every
// popup made is destroyed afterwards.
void WithMenuOutline(std::span<const MenuEntry> outline, const MenuContext& context,
                     const std::function<void(platform::MenuHandle)>& use);

// Builds an outline into popup menus, shows it with the tpm:: alignment's
// corner at `at` (screen), owned by `owner`, and posts the chosen command to
// the owner as from a menu (lParam 1), then the null message that ends a
// menu's showing. Every popup made is destroyed before this returns.
void ShowMenuOutline(std::span<const MenuEntry> outline, const MenuContext& context, std::uint32_t alignment,
                     platform::Point at, platform::WindowHandle owner);
