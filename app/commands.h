// Command dispatch: every user action arrives here as a command id.
#pragma once

#include "platform/types.h"

platform::LResult HandleCommand(platform::WindowHandle window, platform::WParam wParam,
                                platform::LParam lParam);
