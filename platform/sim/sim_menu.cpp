// Simulated popup menus: menus kept as item lists, a shown menu recorded
// with its submenus, and the user's choice taken from the test's script
// after the nested loop has delivered what was posted.
#include <algorithm>

#include "platform/menu.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "platform/sim/sim_world.h"

namespace {

using sim::ShownMenuItem;
using sim::detail::MenuItem;

platform::MenuHandle lastMenu = 0;  // handles are never reused, also across resets

sim::detail::MenuWorld& Menus() { return sim::detail::TheWorld().menu; }

const std::vector<MenuItem>* FindMenu(platform::MenuHandle menu)
{
    auto it = Menus().menus.find(menu);
    return it == Menus().menus.end() ? nullptr : &it->second;
}

// The menu as the user sees it; `depth` stops a menu that contains itself.
std::vector<ShownMenuItem> Describe(platform::MenuHandle menu, int depth = 0)
{
    std::vector<ShownMenuItem> out;
    const std::vector<MenuItem>* items = FindMenu(menu);
    if (items == nullptr || depth > 8) return out;
    for (const MenuItem& item : *items) {
        ShownMenuItem shown;
        shown.separator = (item.flags & platform::mf::Separator) != 0;
        shown.submenu = (item.flags & platform::mf::Submenu) != 0;
        shown.grey = (item.flags & platform::mf::Grey) != 0;
        shown.checked = (item.flags & platform::mf::Checked) != 0;
        if (!shown.separator) shown.label = item.label;
        if (shown.submenu)
            shown.items = Describe(static_cast<platform::MenuHandle>(item.item), depth + 1);
        else if (!shown.separator)
            shown.id = static_cast<std::uint32_t>(item.item);
        out.push_back(std::move(shown));
    }
    return out;
}

// True when the user can reach an enabled command with this id.
bool CanChoose(const std::vector<ShownMenuItem>& items, int id)
{
    return std::any_of(items.begin(), items.end(), [id](const ShownMenuItem& item) {
        if (item.grey || item.separator) return false;
        if (item.submenu) return CanChoose(item.items, id);
        return static_cast<int>(item.id) == id;
    });
}

int NextAnswer()
{
    auto& answers = Menus().answers;
    if (answers.empty()) return 0;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

namespace platform {

MenuHandle CreatePopupMenuHandle()
{
    const MenuHandle menu = ++lastMenu;
    Menus().menus[menu] = {};
    return menu;
}

bool DestroyMenuHandle(MenuHandle menu) { return Menus().menus.erase(menu) > 0; }

bool AppendMenuItem(MenuHandle menu, std::uint32_t flags, std::uintptr_t item, const std::u16string& label)
{
    auto it = Menus().menus.find(menu);
    if (it == Menus().menus.end()) return false;
    if ((flags & mf::Submenu) && FindMenu(static_cast<MenuHandle>(item)) == nullptr) return false;
    it->second.push_back({flags, item, label});
    return true;
}

int TrackPopupMenuAt(MenuHandle menu, std::uint32_t flags, Point at, WindowHandle owner)
{
    if (FindMenu(menu) == nullptr) return 0;
    const std::size_t record = Menus().shown.size();
    Menus().shown.push_back({owner, at, flags, Describe(menu), 0});
    // The menu is open: what was posted meanwhile is delivered first. A menu
    // closed as with Escape chooses nothing, and one where the user chose
    // meanwhile leaves the script alone.
    const sim::detail::NestedLoop loop = sim::detail::RunNestedLoop(sim::detail::LoopOwner::Menu, record);
    int answer = loop.closed ? 0 : loop.answer ? *loop.answer : NextAnswer();
    if (!CanChoose(Menus().shown[record].items, answer)) answer = 0;
    Menus().shown[record].answer = answer;
    if (flags & tpm::ReturnCommand) return answer;
    if (answer > 0) PostWindowMessage(owner, wm::Command, static_cast<WParam>(answer), 0);
    return answer > 0 ? 1 : 0;
}

bool ChooseMenuItem(std::uint32_t id)
{
    sim::detail::NestedLoop* loop = sim::detail::LoopAwaitingAnswer(sim::detail::LoopOwner::Menu);
    if (loop == nullptr || !CanChoose(Menus().shown[loop->shown].items, static_cast<int>(id))) return false;
    loop->answer = static_cast<int>(id);
    return true;
}

// The simulated desktop's menus never hear of the focus.
void DeliverLateFocusLoss() {}

bool SetTrayIconMenu(const TrayIconData& data, MenuHandle menu)
{
    const auto& icons = sim::detail::TheWorld().trayIcons;
    const bool shown = std::any_of(icons.begin(), icons.end(), [&](const TrayIconData& icon) {
        return icon.owner == data.owner && icon.id == data.id;
    });
    if (!Menus().trayDrawsMenus || !shown) return false;
    Menus().trayMenu = Describe(menu);
    return true;
}

}  // namespace platform

namespace sim {

void SetTrayDrawsMenus(bool draws) { Menus().trayDrawsMenus = draws; }

std::optional<std::vector<ShownMenuItem>> OpenTrayIconMenu()
{
    const auto& icons = detail::TheWorld().trayIcons;
    if (!Menus().trayDrawsMenus || icons.empty()) return std::nullopt;
    const platform::TrayIconData icon = icons.front();
    platform::SendWindowMessage(icon.owner, icon.callbackMessage, icon.id, platform::wm::InitMenuPopup);
    return Menus().trayMenu;
}

bool ChooseFromTrayIconMenu(std::uint32_t id)
{
    const auto& icons = detail::TheWorld().trayIcons;
    if (icons.empty() || !Menus().trayMenu || !CanChoose(*Menus().trayMenu, static_cast<int>(id))) return false;
    platform::PostWindowMessage(icons.front().owner, icons.front().callbackMessage, id, platform::wm::Command);
    return true;
}

void QueueMenuAnswer(int id) { Menus().answers.push_back(id); }
const std::vector<ShownMenu>& MenusShown() { return Menus().shown; }
int LiveMenuCount() { return static_cast<int>(Menus().menus.size()); }

}  // namespace sim
