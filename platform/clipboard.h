// The desktop's clipboard, Unicode text only.
#pragma once

#include <optional>
#include <string>

#include "platform/types.h"

namespace platform {

// Replaces the clipboard's content with the text. False when the clipboard
// cannot be reached; it then keeps what it held.
bool SetClipboardText(WindowHandle owner, const std::u16string& text);

// The clipboard's text, or nullopt when it holds none or cannot be reached.
std::optional<std::u16string> GetClipboardText(WindowHandle owner);

}  // namespace platform
