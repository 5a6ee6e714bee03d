// The simulated shell: icon images of the program's one icon resource, the
// tray icons keyed by owner window and id with the messages shown at them,
// the special folders the test set, and a record of what was handed to the
// desktop to open.
#include <algorithm>

#include "platform/sim/sim_world.h"

namespace platform {

using sim::detail::TheWorld;

namespace {

sim::detail::DialogWorld& Shell() { return TheWorld().dialogs; }


auto FindTrayIcon(WindowHandle owner, std::uint32_t id)
{
    auto& icons = TheWorld().trayIcons;
    return std::find_if(icons.begin(), icons.end(),
                        [&](const TrayIconData& icon) { return icon.owner == owner && icon.id == id; });
}
auto FindTrayIcon(const TrayIconData& data) { return FindTrayIcon(data.owner, data.id); }

// A click on an icon posts its callback message, when it was added with one.
void PostTrayClick(const TrayIconData& icon, std::uint32_t pointerMessage)
{
    if (icon.flags & nif::Message) PostWindowMessage(icon.owner, icon.callbackMessage, icon.id, pointerMessage);
}

}  // namespace

IconHandle LoadIconImage(int resourceId, int size)
{
    if (resourceId != kProgramIcon || size <= 0) return 0;
    const IconHandle icon = sim::detail::NextIconHandle();
    TheWorld().icons.insert(icon);
    return icon;
}

void DestroyIconImage(IconHandle icon) { TheWorld().icons.erase(icon); }

bool IsTrayAvailable() { return TheWorld().trayAvailable; }

bool AddTrayIconEntry(const TrayIconData& data)
{
    if (!IsTrayAvailable() || !IsLiveWindow(data.owner) || FindTrayIcon(data) != TheWorld().trayIcons.end())
        return false;
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

std::optional<Rect> GetTrayIconBounds(WindowHandle owner, std::uint32_t id)
{
    if (FindTrayIcon(owner, id) == TheWorld().trayIcons.end()) return std::nullopt;
    if (TheWorld().trayIconPlace) return *TheWorld().trayIconPlace;
    const Rect screen = TheWorld().screen;
    return Rect{screen.right - 24, screen.bottom - 24, screen.right - 2, screen.bottom - 2};
}

bool ClickTrayIcon(WindowHandle owner, std::uint32_t id)
{
    const auto icon = FindTrayIcon(owner, id);
    if (icon == TheWorld().trayIcons.end()) return false;
    PostTrayClick(*icon, wm::LeftButtonUp);
    return true;
}

std::optional<std::u16string> GetSpecialFolderPath(int folderId)
{
    auto it = Shell().specialFolders.find(folderId);
    if (it == Shell().specialFolders.end()) return std::nullopt;
    return it->second;
}

bool ShellExecuteOpen(const std::u16string& verb, const std::u16string& file)
{
    Shell().shellRequests.push_back({verb, file});
    return verb == u"open" && !file.empty();
}

void ShellOpenFileOrNotify(const std::u16string& file, WindowHandle owner, std::uint32_t message, WParam tag)
{
    if (!ShellExecuteOpen(u"open", file) || !Shell().shellCanOpenFiles) PostWindowMessage(owner, message, tag, 0);
}

}  // namespace platform

namespace sim {

const std::vector<TrayMessage>& TrayMessages() { return detail::TheWorld().trayMessages; }

std::vector<platform::TrayIconData> TrayIcons() { return detail::TheWorld().trayIcons; }
void SetTrayAvailable(bool available)
{
    detail::World& world = detail::TheWorld();
    if (world.trayAvailable == available) return;
    world.trayAvailable = available;
    if (!available) {
        world.trayIcons.clear();
        return;
    }
    for (const auto& [window, state] : world.windows)
        platform::PostWindowMessage(window, platform::wm::TrayCreated, 0, 0);
}

void SetTrayIconPlace(const std::optional<Rect>& place) { detail::TheWorld().trayIconPlace = place; }

void ClickTrayIcon(std::uint32_t pointerMessage)
{
    const auto& icons = detail::TheWorld().trayIcons;
    if (icons.empty()) return;
    platform::PostTrayClick(icons.front(), pointerMessage);
}

void SetSpecialFolder(int folderId, const std::optional<std::u16string>& path)
{
    if (path)
        platform::Shell().specialFolders[folderId] = *path;
    else
        platform::Shell().specialFolders.erase(folderId);
}

const std::vector<ShellRequest>& ShellRequests() { return platform::Shell().shellRequests; }

void SetShellCanOpenFiles(bool can) { platform::Shell().shellCanOpenFiles = can; }

}  // namespace sim
