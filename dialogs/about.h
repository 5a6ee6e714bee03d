// The about box: the program's name and version, a mail button that stays
// greyed (the program has no address of its own) and a button that opens
// the help page and closes the box.
#pragma once

#include "platform/types.h"

// The version the about box shows.
inline constexpr char16_t kProgramVersion[] = u"1.20";

// Runs the about box modally; its result (1 OK or the help page opened, 2
// closed with Escape or the close box), 0 when it did not open.
int RunAboutDialog();

platform::LResult AboutDialogProc(platform::WindowHandle dialog, std::uint32_t message, platform::WParam wParam,
                                  platform::LParam lParam);

// Hands the button's target to the desktop: IDC_ABOUT_WEB the help page;
// IDC_ABOUT_MAIL has none.
void OpenAboutLink(platform::WindowHandle dialog, int button);
