// The running program's globals and its fixed identities (class name, title,
// lock file name, version). They sit at the bottom of the system's own code so that
// notes, the editor and the dialogs can read them without reaching up into
// the shell; the shell sets most of them.
#pragma once

#include <array>
#include <cstdint>

#include "platform/types.h"

inline constexpr char16_t kLockFileName[] = u"CE_VELMO.lock";  // in the Data folder
inline constexpr char16_t kClassName[] = u"VELMO";
inline constexpr char16_t kWindowTitle[] = u"付箋紙";
inline constexpr char16_t kBoxCaption[] = u"付箋紙";
inline constexpr char16_t kVersionText[] = u"1.20";

extern platform::WindowHandle mainWindow;  // 0 until its creation call returned
extern std::int32_t hotkeyRegistered;
// Set while a modal dialog (dialogBusy) or a popup menu (menuBusy) is open:
// their nested loops still deliver posted requests for menus, which must not
// open over them. Set and cleared only through BusyGuard.
extern std::int32_t dialogBusy;
extern std::int32_t menuBusy;
// The tray icon setting when the main window ended (-1 while it lives).
extern std::int32_t trayIconAtExit;

// Sets a busy flag for as long as it lives and then puts back the value it
// found, so that when one dialog opens inside another the flag stays set
// until the outer one has closed too.
class BusyGuard {
public:
    explicit BusyGuard(std::int32_t& flag) : flag_(flag), before_(flag) { flag_ = 1; }
    ~BusyGuard() { flag_ = before_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    std::int32_t& flag_;
    std::int32_t before_;
};

// Background colours for new notes and colour cycling (0x00BBGGRR). Entries 5
// to 20 double as the colour chooser's custom colours, so they may change
// during a run; they are never saved.
inline constexpr int kPaletteSize = 25;
extern std::array<std::uint32_t, kPaletteSize> notePalette;
