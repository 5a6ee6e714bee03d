// Opening the input method of an editor in a given conversion mode.
#pragma once

#include "platform/types.h"

enum class InputConversion { Romaji, Kana };

void OpenInputMethod(platform::WindowHandle window, InputConversion conversion);
