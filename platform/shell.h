// Desktop shell services: the notification (tray) icon, the program's icon
// images, the user's special folders, launchers (shortcut files) and
// handing a file or an address to the desktop's default application.
//
// A desktop may have no tray at all, get one later (its host starts after
// the program, as at login) or lose it and get it back (its host restarts).
// Icons are added while a tray is there; they go with it, and every window
// hears of the next tray by wm::TrayCreated so that it can add them again.
#pragma once

#include <optional>
#include <string>

#include "platform/menu.h"
#include "platform/types.h"

namespace platform {

// The program's own icon, the one icon of its resources.
inline constexpr int kProgramIcon = 138;

// An icon image of the program's resources at the given size (pixels); 0 when
// the resource does not exist.
IconHandle LoadIconImage(int resourceId, int size);
void DestroyIconImage(IconHandle icon);

// Whether the desktop has a tray that shows icons now.
bool IsTrayAvailable();

// Tray icon registration, one icon per owner and id. Without a tray no icon
// can be added.
namespace nif {
inline constexpr std::uint32_t Message = 0x1;
inline constexpr std::uint32_t Icon = 0x2;
inline constexpr std::uint32_t Tip = 0x4;
}  // namespace nif

struct TrayIconData {
    WindowHandle owner = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;  // nif::
    std::uint32_t callbackMessage = 0;
    IconHandle icon = 0;
    std::u16string tip;
};

// A click on the icon posts callbackMessage to the owner with wParam = id and
// lParam = the pointer message (wm::LeftButtonUp when the click is released).
bool AddTrayIconEntry(const TrayIconData& data);
bool DeleteTrayIconEntry(const TrayIconData& data);

// Trays on D-Bus draw an icon's menu themselves, at the icon, for its right
// button: such a tray shows a copy of this menu (its items, submenus and
// states as they are now). Before it shows the menu, the owner is sent
// callbackMessage with lParam wm::InitMenuPopup and may set the menu anew;
// a choice from it is posted to the owner as callbackMessage with lParam
// wm::Command and the command id in wParam. False, and nothing kept, where
// the program draws the icon's menus itself (an X tray) or there is no such
// icon.
bool SetTrayIconMenu(const TrayIconData& data, MenuHandle menu);
// Shows a warning (title and text, with a warning icon) at the tray icon of
// data's owner and id, for a few seconds, without taking the keyboard
// focus. False when there is no such icon or the desktop cannot show such
// messages.
bool ShowTrayIconMessage(const TrayIconData& data, const std::u16string& title, const std::u16string& text);

// Where the icon of this owner and id stands on the screen, when the desktop
// tells it; nullopt for an icon that is not shown or whose place is unknown.
std::optional<Rect> GetTrayIconBounds(WindowHandle owner, std::uint32_t id);

// Special folders by their identifiers.
namespace csidl {
inline constexpr int Desktop = 0;   // the user's desktop folder
inline constexpr int Personal = 5;  // the user's documents
inline constexpr int Startup = 7;   // what starts with the user's session
inline constexpr int LocalAppData = 28;  // the base of the user's data folders
}  // namespace csidl

// The folder's path, or nullopt when the desktop has none of this kind. The
// start-up folder is named whether or not it exists yet; whoever puts a
// launcher there makes it.
std::optional<std::u16string> GetSpecialFolderPath(int folderId);

// A launcher: a desktop entry that starts `target`, a command line of
// arguments in double quotes (the program's path in quotes, for one), shown
// with a name and an icon file.
struct ShortcutFile {
    std::u16string target;
    std::u16string name;
    std::u16string icon;
};

// Writes the launcher file, replacing the file at the path whole, and marks
// it executable as desktops want of a trusted launcher. False on failure.
bool CreateShortcutFile(const std::u16string& path, const ShortcutFile& shortcut);

// The target of the launcher file, in the form CreateShortcutFile takes (each
// argument in double quotes, separated by spaces): what its desktop entry
// starts. Nullopt for a file that is no launcher of an application ("*.desktop"),
// or a hidden one, which desktops treat as deleted.
std::optional<std::u16string> ReadShortcutTarget(const std::u16string& path);

// Asks the desktop to carry out `verb` (only "open" is known) on a file path
// or an address (a "mailto:" or web address) with the default application
// for it. True when the desktop accepted it.
bool ShellExecuteOpen(const std::u16string& verb, const std::u16string& file);

// Hands a file to the desktop's default application for it, as
// ShellExecuteOpen(u"open", ...) does, and posts `message` with wParam `tag`
// to `owner` when the desktop has no application for it: at once when
// nothing can take the file, or later, when the desktop's opener ends
// without having found one.
void ShellOpenFileOrNotify(const std::u16string& file, WindowHandle owner, std::uint32_t message, WParam tag);

}  // namespace platform
