// Opening the input method of an editor. The conversion mode is not applied
// yet: the input method opens in its own default mode.
#include "edit/input_mode.h"

#include "platform/ime.h"

void OpenInputMethod(platform::WindowHandle window, InputConversion)
{
    platform::SetInputMethodOpen(window, true);
}
