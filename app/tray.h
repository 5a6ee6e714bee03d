// The tray icon of the main window and the main (tray) menu.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/menu.h"
#include "platform/types.h"

bool AddTrayIcon(platform::WindowHandle owner);
void RemoveTrayIcon(platform::WindowHandle owner);
// A warning beside the owner's tray icon; false when it has none shown.
bool ShowTrayMessage(platform::WindowHandle owner, const std::u16string& title, const std::u16string& text);

// Gives a tray that draws the icon's menu itself (a D-Bus tray) the tray
// menu as it is now; nothing where the program draws it.
void OfferTrayMenu(platform::WindowHandle owner);

// Shows the tray menu; clickedOnIcon when a click on the tray icon asked for
// it (rather than a key).
void ShowMainMenu(platform::WindowHandle mainWindow, bool clickedOnIcon);

// Fills an empty menu with the hidden notes and the hide-all, show-all and
// log items. Returns 1.
int BuildNoteListMenu(platform::MenuHandle menu);

// The note list's label of the note at `index` with this text.
std::u16string NoteListLabel(const std::optional<std::u16string>& text, std::int32_t index);
