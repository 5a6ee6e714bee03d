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
#include <optional>
#include <string>
#include <vector>

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

// --- shell -----------------------------------------------------------------

// The path GetSpecialFolderPath reports for this id; nullopt: none.
void SetSpecialFolder(int folderId, const std::optional<std::u16string>& path);

struct ShellRequest {
    std::u16string verb;
    std::u16string file;
};
const std::vector<ShellRequest>& ShellRequests();

}  // namespace sim
