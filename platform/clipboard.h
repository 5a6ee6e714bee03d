// The desktop's clipboard, Unicode text only. The program's line breaks are
// CR LF; a desktop whose programs break lines otherwise (LF on Linux) holds
// the text in its own form, and the text read back has CR LF line breaks.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Replaces the clipboard's content with the text. False when the clipboard
// cannot be reached; it then keeps what it held.
bool SetClipboardText(const std::u16string& text);

// The clipboard's text, or nullopt when it holds none or cannot be reached;
// std::bad_alloc when there is no memory to hold it.
std::optional<std::u16string> GetClipboardText();

}  // namespace platform
