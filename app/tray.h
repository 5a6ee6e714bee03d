// The tray icon of the main window and the main (tray) menu.
#pragma once

#include "platform/types.h"

bool AddTrayIcon(platform::WindowHandle owner);
void RemoveTrayIcon(platform::WindowHandle owner);
void ShowMainMenu(platform::WindowHandle mainWindow);
