// Closing the input method of a note or its editor: every note starts with
// it closed, and it closes again when editing ends.
#include "edit/input_method.h"

#include "platform/ime.h"

int CloseInputMethod(platform::WindowHandle window) { return platform::SetInputMethodOpen(window, false) ? 1 : 0; }
