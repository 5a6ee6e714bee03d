// The tray icon of the main window and the main (tray) menu.
#include "app/tray.h"

#include "app/app_state.h"
#include "app/messages.h"
#include "platform/shell.h"
#include "platform/window.h"

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

// Opens the tray menu. The menu's items are not built yet: the main window
// comes forward and the menu's closing message is posted, so that callers see
// the same sequence as with a menu that was closed without a choice.
void ShowMainMenu(platform::WindowHandle window)
{
    platform::BringToForeground(window);
    platform::PostWindowMessage(window, platform::wm::Null, 0, 0);
}
