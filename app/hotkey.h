// The system-wide hotkey that brings the last visible note forward.
#pragma once

#include <cstdint>

#include "platform/types.h"

std::uint32_t HotkeyModifiers();
std::int32_t RegisterAppHotkey(platform::WindowHandle window, int id, std::uint32_t modifiers,
                               std::uint32_t key);
// Registers HOTKEY_ID for the main window from the settings.
void RegisterHotkeyFromSettings(platform::WindowHandle window);
void UnregisterAppHotkey();
