// The simulated shell: icon images of the program's one icon resource and
// the tray icons, keyed by owner window and id, with the messages shown at
// them.
#include <algorithm>

#include "platform/sim/sim_world.h"

namespace platform {

using sim::detail::TheWorld;

namespace {

// The program's icon group holds a 16 x 16 and a 32 x 32 image.
constexpr int kAppIconResource = 138;

auto FindTrayIcon(const TrayIconData& data)
{
    auto& icons = TheWorld().trayIcons;
    return std::find_if(icons.begin(), icons.end(), [&](const TrayIconData& icon) {
        return icon.owner == data.owner && icon.id == data.id;
    });
}

}  // namespace

IconHandle LoadIconImage(int resourceId, int size)
{
    if (resourceId != kAppIconResource || (size != 16 && size != 32)) return 0;
    const IconHandle icon = sim::detail::NextIconHandle();
    TheWorld().icons.insert(icon);
    return icon;
}

void DestroyIconImage(IconHandle icon) { TheWorld().icons.erase(icon); }

bool AddTrayIconEntry(const TrayIconData& data)
{
    if (!(data.flags & nif::Message) || FindTrayIcon(data) != TheWorld().trayIcons.end()) return false;
    TheWorld().trayIcons.push_back(data);
    return true;
}

bool DeleteTrayIconEntry(const TrayIconData& data)
{
    auto it = FindTrayIcon(data);
    if (it == TheWorld().trayIcons.end()) return false;
    TheWorld().trayIcons.erase(it);
    return true;
}

bool ShowTrayIconMessage(const TrayIconData& data, const std::u16string& title, const std::u16string& text)
{
    if (FindTrayIcon(data) == TheWorld().trayIcons.end()) return false;
    TheWorld().trayMessages.push_back({data.owner, data.id, title, text});
    return true;
}

}  // namespace platform

namespace sim {

const std::vector<TrayMessage>& TrayMessages() { return detail::TheWorld().trayMessages; }

std::vector<platform::TrayIconData> TrayIcons() { return detail::TheWorld().trayIcons; }

void TapTrayIcon(std::uint32_t pointerMessage)
{
    const auto& icons = detail::TheWorld().trayIcons;
    if (icons.empty()) return;
    const platform::TrayIconData& icon = icons.front();
    platform::PostWindowMessage(icon.owner, icon.callbackMessage, icon.id, pointerMessage);
}

}  // namespace sim
