// The tray icon of the main window and the main (tray) menu.
#include "app/tray.h"

#include "app/app_state.h"
#include "app/messages.h"
#include "platform/shell.h"

namespace {

constexpr std::uint32_t kTrayIconId = 1;
constexpr int kTrayIconSize = 16;

platform::TrayIconData TrayRegistration(platform::WindowHandle owner)
{
    platform::TrayIconData data;
    data.owner = owner;
    data.id = kTrayIconId;
    data.flags = platform::nif::Message | platform::nif::Icon | platform::nif::Tip;
    data.callbackMessage = MSG_TRAY_NOTIFY;
    return data;
}

}  // namespace

bool AddTrayIcon(platform::WindowHandle owner)
{
    platform::TrayIconData data = TrayRegistration(owner);
    data.icon = platform::LoadIconImage(kAppIcon, kTrayIconSize);
    data.tip = u"VELMO";
    const bool added = platform::AddTrayIconEntry(data);
    if (data.icon != 0) platform::DestroyIconImage(data.icon);
    return added;
}

void RemoveTrayIcon(platform::WindowHandle owner)
{
    platform::DeleteTrayIconEntry(TrayRegistration(owner));
}

// The menu itself is built with the menu work; until then a tap opens nothing.
void ShowMainMenu(platform::WindowHandle) {}
