// The simulated menus', dialogs' and shell requests' share of the world:
// live menus, scripted answers and the records of what was shown.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/sim/sim_menus.h"

namespace sim::detail {

struct MenuItem {
    std::uint32_t flags = 0;
    std::uintptr_t item = 0;  // command id or submenu handle
    std::u16string label;
};

struct MenuWorld {
    std::map<platform::MenuHandle, std::vector<MenuItem>> menus;
    std::deque<int> answers;
    std::vector<ShownMenu> shown;
    // A tray that draws its icon's menu itself, and the menu it was given.
    bool trayDrawsMenus = false;
    std::optional<std::vector<ShownMenuItem>> trayMenu;
};

struct DialogWorld {
    std::deque<ColorAnswer> colorAnswers;
    std::vector<ShownColorDialog> colorDialogs;
    std::deque<std::optional<std::u16string>> fileAnswers;
    std::vector<ShownFileDialog> fileDialogs;
    std::map<int, std::u16string> specialFolders;
    std::vector<ShellRequest> shellRequests;
    bool shellCanOpenFiles = true;
};

}  // namespace sim::detail
