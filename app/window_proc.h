// The one window procedure shared by the main window and every note.
#pragma once

#include "platform/types.h"

platform::LResult WindowProc(platform::WindowHandle window, std::uint32_t message,
                             platform::WParam wParam, platform::LParam lParam);
