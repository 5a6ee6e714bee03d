// Opening the input method of an editor in a conversion mode.
//
// A Japanese keyboard's kana lock key has no lock state that a Linux
// desktop keeps for programs, and most keyboards here have no such key, so
// it is left alone: the mode is asked of the input method alone. Where the
// input method lets no program choose the mode, the user's own setting in it
// stands.
#include "edit/input_mode.h"

int OpenInputMethod(platform::WindowHandle window, platform::Conversion conversion)
{
    if (!platform::SetInputMethodOpen(window, true)) return 0;
    return platform::SetInputConversion(window, conversion) ? 1 : 0;
}
