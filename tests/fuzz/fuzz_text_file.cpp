// Fuzz target: reading a note's text file, whatever its bytes.
//
// Invariants:
// - The text holds no NUL (reading stops at the first NUL byte).
// - Reading is stable: the text, written as the program writes text files
//   and read again, comes back the same.
// - A file as the program writes them (valid UTF-8, no NUL, no leading
//   encoding mark) is written back byte for byte.
#include <cstdint>
#include <string>

#include "fuzz_folder.h"
#include "platform/text.h"
#include "store/data_file.h"
#include "store/paths.h"
#include "store/records.h"

namespace {

bool IsPlainUtf8(const std::string& bytes)
{
    if (bytes.find('\0') != std::string::npos || bytes.starts_with("\xEF\xBB\xBF")) return false;
    return platform::ToUtf8(platform::FromUtf8(bytes)) == bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::u16string path = [] {
        fuzz::ProgramFolder();
        return dataFolder + u"/VLM00000.txt";
    }();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile(platform::ToUtf8(path), bytes);
    const std::optional<std::u16string> text = ReadTextFile(path);
    fuzz::Require(text.has_value(), "a readable file gave no text");
    fuzz::Require(text->find(u'\0') == std::u16string::npos, "the text holds a NUL");

    // Written back (as WriteTextFile writes it) and read again.
    const std::string again = platform::ToTextFile(*text);
    fuzz::Require(platform::FromMultiByte(again) == *text, "the text changed on its way through a file");
    if (IsPlainUtf8(bytes)) fuzz::Require(again == bytes, "a plain file was not written back as it was");
    return 0;
}
