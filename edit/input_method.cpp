// The input method of a note or its editor.
#include "edit/input_method.h"

#include "platform/ime.h"

void CloseInputMethod(platform::WindowHandle window)
{
    platform::SetInputMethodOpen(window, false);
}
