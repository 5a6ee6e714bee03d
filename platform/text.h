// Text conversion between the program's UTF-16 and the bytes of text files.
//
// Text files are written as UTF-8, whatever the locale says: UTF-8 holds every
// character a note can contain, Japanese included. A file that is not valid
// UTF-8 came from an older Japanese system and is read as Shift_JIS (CP932).
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ToMultiByte(std::u16string_view text);
std::u16string FromMultiByte(std::string_view bytes);

// The text in upper case, character by character (letters of every script
// that has cases; others stay as they are).
std::u16string ToUpperCase(std::u16string_view text);

// Plain UTF-8 <-> UTF-16 for paths and messages; invalid input is replaced.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

}  // namespace platform
