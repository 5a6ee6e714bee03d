// Input method (Japanese text entry) status per window.
#pragma once

#include "platform/types.h"

namespace platform {

bool SetInputMethodOpen(WindowHandle window, bool open);
bool IsInputMethodOpen(WindowHandle window);

}  // namespace platform
