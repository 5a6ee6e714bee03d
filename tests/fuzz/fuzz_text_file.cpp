// Fuzz target: reading a note's text file, whatever its bytes.
//
// Invariants:
// - A file with a UTF-16 mark gives its units after the mark one for one,
//   each as it is or (a lone surrogate, an odd last byte) as U+FFFD.
// - Reading is stable: the text, written as the program writes text files
//   and read again, comes back the same.
// - A file as the program writes them (valid UTF-8, NULs included, no
//   leading encoding mark) is written back byte for byte.
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
    if (bytes.starts_with("\xEF\xBB\xBF")) return false;
    return platform::ToUtf8(platform::FromUtf8(bytes)) == bytes;
}

void RequireUtf16UnitsKept(std::string bytes, const std::u16string& text)
{
    const bool big = bytes.starts_with("\xFE\xFF");
    if (!big && !bytes.starts_with("\xFF\xFE")) return;
    fuzz::Require(text.size() == (bytes.size() - 1) / 2, "a UTF-16 file was not read unit for unit");
    bytes += '\0';  // an odd last byte's partner
    const auto* units = reinterpret_cast<const unsigned char*>(bytes.data()) + 2;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = static_cast<char16_t>(units[2 * i + !big] << 8 | units[2 * i + big]);
        fuzz::Require(text[i] == unit || text[i] == u'\uFFFD', "a UTF-16 file's unit changed");
    }
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
    RequireUtf16UnitsKept(bytes, *text);

    // Written back (as WriteTextFile writes it) and read again.
    const std::string again = platform::ToTextFile(*text);
    fuzz::Require(platform::FromMultiByte(again) == *text, "the text changed on its way through a file");
    if (IsPlainUtf8(bytes)) fuzz::Require(again == bytes, "a plain file was not written back as it was");
    return 0;
}
