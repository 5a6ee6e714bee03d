// The input method of a note or its editor.
#pragma once

#include "platform/types.h"

void CloseInputMethod(platform::WindowHandle window);
