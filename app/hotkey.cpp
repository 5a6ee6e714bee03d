// The system-wide hotkey: registered for the main window from the settings
// (a key and at least one modifier), and dropped again before the settings
// change or the program ends.
#include "app/hotkey.h"

#include "platform/system.h"
#include "store/app_state.h"
#include "store/messages.h"
#include "store/records.h"

std::uint32_t HotkeyModifiers()
{
    std::uint32_t mask = 0;
    if (noteSettings.hotkeyAlt != 0) mask |= platform::mod::Alt;
    if (noteSettings.hotkeyCtrl != 0) mask |= platform::mod::Control;
    if (noteSettings.hotkeyShift != 0) mask |= platform::mod::Shift;
    return mask;
}

std::int32_t RegisterAppHotkey(platform::WindowHandle window, int id, std::uint32_t modifiers,
                               std::uint32_t key)
{
    if (modifiers == 0 || key == 0) return 0;
    return platform::RegisterSystemHotkey(window, id, modifiers, key) ? 1 : 0;
}

void RegisterHotkeyFromSettings(platform::WindowHandle window)
{
    hotkeyRegistered = RegisterAppHotkey(window, HOTKEY_ID, HotkeyModifiers(), noteSettings.hotkeyKey[0]);
}

void UnregisterAppHotkey()
{
    if (hotkeyRegistered == 0) return;
    hotkeyRegistered = 0;
    platform::UnregisterSystemHotkey(mainWindow, HOTKEY_ID);
}
