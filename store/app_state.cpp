// The running program's globals and the note palette.
#include "store/app_state.h"

platform::WindowHandle mainWindow = 0;
std::int32_t hotkeyRegistered = 0;
std::int32_t dialogBusy = 0;
std::int32_t menuBusy = 0;
std::int32_t trayIconAtExit = -1;

std::array<std::uint32_t, kPaletteSize> notePalette = {
    0x00D0FFFF, 0x008CFF60, 0x00B0F080, 0x00CAF0A6, 0x00DCF8B4,
    0x0060FF8C, 0x0080F0B0, 0x00A6F0CA, 0x00B4F8DC, 0x00FF8C60,
    0x00F0B080, 0x00F0CAA6, 0x00F8DCB4, 0x00FF608C, 0x00F080B0,
    0x00F0A6CA, 0x00F8B4DC, 0x008C60FF, 0x00B080F0, 0x00CAA6F0,
    0x00DCB4F8, 0x00608CFF, 0x0080B0F0, 0x00A6CAF0, 0x00B4DCF8,
};
