// Opening the input method of an editor in a conversion mode: romaji input
// (Latin letters typed become kana) or kana input (the keys type kana).
#pragma once

#include "platform/ime.h"
#include "platform/types.h"

// 1 when the input method was opened and set to the conversion mode, else
// 0. When only the mode cannot be set (the running input method keeps its
// own), the input method stays open in that mode.
int OpenInputMethod(platform::WindowHandle window, platform::Conversion conversion);
