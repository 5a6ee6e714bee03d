// The program's menus as QMenus, for the windows of the Qt backend that
// show one: popup menus (qt_menu.cpp) and the tray's own menu (qt_shell.cpp).
#pragma once

#include <QMenu>
#include <QString>

#include "platform/menu.h"

namespace platform::qt {

// Empties the QMenu and fills it with the menu's items and submenus; each
// command's action carries its id as its data.
void FillMenu(QMenu& menu, MenuHandle handle);

// A text that differs whenever FillMenu would build something different.
QString DescribeMenu(MenuHandle handle);

}  // namespace platform::qt
