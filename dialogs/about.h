// The about box: the program's name and version, and two buttons that hand
// the e-mail and web addresses to the desktop and close the box.
#pragma once

#include "platform/types.h"

// The version the about box shows.
inline constexpr char16_t kProgramVersion[] = u"1.20";

// Runs the about box modally; its result (1 OK or an address opened, 2
// closed with Escape or the close box), 0 when it did not open.
int RunAboutDialog();

platform::LResult AboutDialogProc(platform::WindowHandle dialog, std::uint32_t message, platform::WParam wParam,
                                  platform::LParam lParam);

// Hands the address on the button (IDC_ABOUT_MAIL as a "mailto:" address,
// IDC_ABOUT_WEB as it stands) to the desktop.
void OpenAboutLink(platform::WindowHandle dialog, int button);
