// Closing the input method of a note or its editor.
#pragma once

#include "platform/types.h"

// 1 when the window's input method was set to closed, else 0 (no input
// method reachable).
int CloseInputMethod(platform::WindowHandle window);
