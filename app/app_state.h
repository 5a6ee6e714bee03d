// Application globals shared by the shell, and the fixed identities of the
// program (class name, title, lock name).
#pragma once

#include <array>
#include <cstdint>

#include "platform/types.h"

inline constexpr char16_t kLockName[] = u"CE_VELMO";
inline constexpr char16_t kClassName[] = u"VELMO";
inline constexpr char16_t kWindowTitle[] = u"付箋紙";
inline constexpr char16_t kBoxCaption[] = u"付箋紙";

extern platform::WindowHandle mainWindow;  // 0 until its creation call returned
extern std::int32_t hotkeyRegistered;
extern std::int32_t dialogBusy;
extern std::int32_t menuBusy;
// The tray icon setting when the main window ended (-1 while it lives).
extern std::int32_t trayIconAtExit;

// Background colours for new notes and colour cycling (0x00BBGGRR). Entries 5
// to 20 double as the colour chooser's custom colours, so they may change
// during a run; they are never saved.
inline constexpr int kPaletteSize = 25;
extern std::array<std::uint32_t, kPaletteSize> notePalette;
