// Control of the simulated popup menus, common dialogs and shell requests,
// for the behaviour tests only.
//
// Menus and dialogs answer from scripts that the test queues beforehand;
// with nothing queued a menu is dismissed and a dialog cancelled. Each one
// pumps the posted messages while it is "open" (before it answers), as the
// nested loop of the real one would, and everything shown is recorded.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_box.h"
#include "platform/dialogs.h"
#include "platform/types.h"

namespace sim {

// --- popup menus -----------------------------------------------------------

struct ShownMenuItem {
    std::u16string label;
    std::uint32_t id = 0;  // 0 for separators and submenus
    bool grey = false;
    bool checked = false;
    bool separator = false;
    bool submenu = false;
    std::vector<ShownMenuItem> items;  // a submenu's items
};

struct ShownMenu {
    platform::WindowHandle owner = 0;
    platform::Point at;
    std::uint32_t flags = 0;  // tpm::
    std::vector<ShownMenuItem> items;
    int answer = 0;
};

// The user's next choice: a command id, or 0 to dismiss the menu. A choice
// that names no enabled command of the shown menu (a grey item, or an item
// inside a grey submenu) cannot be made, and dismisses the menu instead.
void QueueMenuAnswer(int id);
const std::vector<ShownMenu>& MenusShown();
// Menus created and not yet destroyed.
int LiveMenuCount();

// --- the menu a tray draws itself -------------------------------------------

// Whether the tray draws its icons' menus itself, as a D-Bus tray does
// (false at first: the program draws them, as on an X tray).
void SetTrayDrawsMenus(bool draws);
// The tray is about to show the first icon's menu: the owner hears so and
// may set it anew; its items then, or nullopt when the tray has none.
std::optional<std::vector<ShownMenuItem>> OpenTrayIconMenu();
// The user chooses this command from the menu the tray shows; false when
// it is no enabled item there.
bool ChooseFromTrayIconMenu(std::uint32_t id);

// --- colour chooser --------------------------------------------------------

struct ColorAnswer {
    bool chosen = false;  // false: cancelled
    std::uint32_t color = 0;
    // Custom colours as the user left them (written back even on cancel).
    std::optional<std::array<std::uint32_t, platform::kCustomColorCount>> customColors;
};
void QueueColorAnswer(const ColorAnswer& answer);

struct ShownColorDialog {
    platform::ColorRequest request;  // as passed in
    std::array<std::uint32_t, platform::kCustomColorCount> customColors{};  // as offered
    bool chosen = false;
};
const std::vector<ShownColorDialog>& ColorDialogs();

// --- file dialogs ----------------------------------------------------------

enum class FileDialogKind { Save, Open };

// The full path the user picks, or nullopt to cancel.
void QueueFileDialogAnswer(const std::optional<std::u16string>& path);

struct ShownFileDialog {
    FileDialogKind kind = FileDialogKind::Save;
    platform::FileDialogRequest request;  // as passed in
    bool chosen = false;
};
const std::vector<ShownFileDialog>& FileDialogs();

// --- the program's own dialogs ----------------------------------------------
//
// A dialog run by RunModalDialog is a window with controls. While it is
// open, the next queued script runs with the dialog's handle, as the user
// at the dialog: it reads the controls and works them with the mouse
// (platform::ClickControl, ClickListItem, ClickCloseBox), the keyboard
// (TypeInControl, platform::CloseMenuOrDialog for Escape) and anything else a
// test does meanwhile. Every such input delivers the posted messages it
// causes before it returns. A dialog still open when its script is done (or
// with no script queued) is closed with the Escape key.

using DialogScript = std::function<void(platform::WindowHandle dialog)>;
void QueueDialogScript(DialogScript script);

// A control as the dialog shows it: bounds in the dialog's client area.
struct ControlState {
    int id = -1;
    platform::ControlClass kind = platform::ControlClass::Static;
    std::uint32_t style = 0;
    std::u16string text;
    platform::Rect bounds;
    int checked = 0;
    bool enabled = true;
    std::vector<std::u16string> items;  // a list's items, in order
    int selection = -1;
    int paints = 0;  // how often the program painted it (BeginControlPaint)
};

// The open dialog's control with this id, or null.
const ControlState* FindControl(platform::WindowHandle dialog, int id);

// The user selects the edit box's text and types this in its place.
bool TypeInControl(platform::WindowHandle dialog, int id, std::u16string_view text);

// What a control shows at a client point, 0x00BBGGRR (kNoPixel outside).
std::uint32_t ControlPixel(platform::WindowHandle dialog, int id, int x, int y);

struct ShownDialog {
    std::u16string caption;
    platform::LParam parameter = 0;
    platform::Rect bounds;                // where it stood when it closed
    std::vector<ControlState> controls;   // as they were when it closed
    int result = 0;
};
const std::vector<ShownDialog>& DialogsShown();

// --- shell -----------------------------------------------------------------

// The path GetSpecialFolderPath reports for this id; nullopt: none.
void SetSpecialFolder(int folderId, const std::optional<std::u16string>& path);

struct ShellRequest {
    std::u16string verb;
    std::u16string file;
};
const std::vector<ShellRequest>& ShellRequests();
// Whether the desktop has an application for the files handed to it by
// ShellOpenFileOrNotify (true until a test says otherwise).
void SetShellCanOpenFiles(bool can);

}  // namespace sim
