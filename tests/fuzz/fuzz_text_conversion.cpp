// Fuzz target: a note's text (the input as UTF-16LE units) through the
// text-file encoding and back.
//
// Invariants:
// - Every text comes back as it was, with each lone surrogate (no character
//   at all) as U+FFFD: NULs and a leading U+FEFF or U+FFFE included.
// - The same for plain UTF-8, which paths and messages use.
#include <cstdint>
#include <string>

#include "fuzz_folder.h"
#include "platform/text.h"

namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The text as UTF-8 can hold it: lone surrogates replaced.
std::u16string Representable(std::u16string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            out += text.substr(i, 2);
            ++i;
        } else {
            out += IsHigh(text[i]) || IsLow(text[i]) ? u'\uFFFD' : text[i];
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    const std::u16string whole = Representable(text);
    fuzz::Require(platform::FromUtf8(platform::ToUtf8(text)) == whole, "UTF-8 does not round-trip");
    fuzz::Require(platform::FromMultiByte(platform::ToTextFile(text)) == whole, "a text file does not give the text back");
    return 0;
}
