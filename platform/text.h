// Text conversion between the program's UTF-16 and the bytes of text files.
//
// Text files are written as UTF-8, whatever the locale says: UTF-8 holds every
// character a note can contain, Japanese included. A file that begins with a
// UTF-16 byte-order mark (what other editors write as "Unicode") is read as
// UTF-16 of that byte order; a file that is not valid UTF-8 came from an
// older Japanese system and is read as Shift_JIS (CP932). A NUL is a
// character like any other, kept in both directions.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The text in the text-file encoding, as it is: no mark is added.
std::string ToMultiByte(std::u16string_view text);
// The text of a whole text file. A leading encoding mark (UTF-8 or UTF-16,
// as other programs write) is not part of the text.
std::u16string FromMultiByte(std::string_view bytes);

// What a whole text file holding this text contains: the text in the
// text-file encoding. A text that itself begins with U+FEFF gets an encoding
// mark in front, since FromMultiByte takes the first one for the mark and
// drops it; so FromMultiByte gives every text back.
std::string ToTextFile(std::u16string_view text);
// The text in upper case, character by character (letters of every script
// that has cases; others stay as they are).
std::u16string ToUpperCase(std::u16string_view text);

// Plain UTF-8 <-> UTF-16 for paths and messages; invalid input is replaced.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

}  // namespace platform
