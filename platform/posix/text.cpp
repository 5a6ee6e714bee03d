// Text conversion with glibc iconv: UTF-16 <-> UTF-8 for paths and text
// files, UTF-16 files with their byte-order mark, and CP932 for text files
// that are not valid UTF-8. Invalid input never stops a conversion: each bad
// sequence becomes U+FFFD.
#include "platform/text.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <optional>

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char16_t kByteOrderMark = 0xFEFF;

// UTF-16 as the program holds it in memory, so that iconv reads and writes
// the program's own text without a copy.
constexpr const char* kNativeUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One iconv descriptor for the length of one conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok()) ::iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in` straight into a string of Unit, starting with room
    // for `room` units (enough for most texts in one pass: a text of many
    // megabytes is converted without copies). At a bad sequence, onBad(at)
    // writes a replacement at `at` (room for kMaxReplacementBytes is made
    // first) and returns its length in bytes, and the input moves on by skip
    // bytes (an incomplete tail of single bytes ends the input; one of wider
    // units, such as a lone high surrogate and an odd last byte, is passed
    // over unit by unit, each its own replacement); with strict set, the
    // first bad sequence fails the whole conversion.
    template <typename Unit, typename OnBad>
    std::optional<std::basic_string<Unit>> Run(std::string_view in, std::size_t room, std::size_t skip,
                                               bool strict, OnBad onBad)
    {
        std::basic_string<Unit> out(std::max<std::size_t>(room, 16), Unit{});
        std::size_t used = 0;  // bytes written
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char* base = reinterpret_cast<char*>(out.data());
            char* outPtr = base + used;
            std::size_t outLeft = out.size() * sizeof(Unit) - used;
            const std::size_t rc = ::iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            used = static_cast<std::size_t>(outPtr - base);
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (error == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            if (strict) return std::nullopt;
            if (out.size() * sizeof(Unit) - used < kMaxReplacementBytes) out.resize(out.size() * 2);
            used += onBad(reinterpret_cast<char*>(out.data()) + used);
            const std::size_t step = error == EILSEQ || skip > 1 ? std::min(skip, inLeft) : inLeft;
            inPtr += step;
            inLeft -= step;
        }
        out.resize(used / sizeof(Unit));
        return out;
    }

    static constexpr std::size_t kMaxReplacementBytes = 4;

private:
    iconv_t cd_;
};

std::size_t WriteReplacementUnit(char* at)
{
    std::memcpy(at, &kReplacement, sizeof kReplacement);
    return sizeof kReplacement;
}

// Decodes bytes of the given character set, whose smallest invalid
// sequence is `unit` bytes long; nullopt only in strict mode when a sequence
// is invalid. Every byte gives at most one UTF-16 unit.
std::optional<std::u16string> Decode(const char* charset, std::string_view bytes, bool strict,
                                     std::size_t unit = 1)
{
    Converter converter(kNativeUtf16, charset);
    if (!converter.ok()) {
        if (strict) return std::nullopt;
        std::u16string text;  // without the converter only ASCII is certain
        for (char c : bytes) text.push_back(static_cast<unsigned char>(c) < 0x80 ? c : kReplacement);
        return text;
    }
    return converter.Run<char16_t>(bytes, bytes.size() / unit, unit, strict, WriteReplacementUnit);
}

}  // namespace

std::string ToUtf8(std::u16string_view text)
{
    Converter converter("UTF-8", kNativeUtf16);
    if (!converter.ok()) return {};
    const std::string_view units(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    // A lone surrogate is the only invalid UTF-16: skip its one unit.
    auto out = converter.Run<char>(units, text.size() + text.size() / 2, sizeof(char16_t), false, [](char* at) {
        std::memcpy(at, kUtf8Replacement.data(), kUtf8Replacement.size());
        return kUtf8Replacement.size();
    });
    return out.value_or(std::string{});
}

std::u16string FromUtf8(std::string_view bytes)
{
    return Decode("UTF-8", bytes, false).value_or(std::u16string{});
}

std::string ToMultiByte(std::u16string_view text) { return ToUtf8(text); }

std::string ToTextFile(std::u16string_view text)
{
    std::string bytes = ToMultiByte(text);
    if (!text.empty() && text.front() == kByteOrderMark) bytes.insert(0, kUtf8Bom);
    return bytes;
}

std::u16string FromMultiByte(std::string_view bytes)
{
    // Neither mark can begin UTF-8 or CP932 text: 0xFE and 0xFF are in
    // neither.
    if (bytes.starts_with(kUtf16LeBom)) return Decode("UTF-16LE", bytes.substr(2), false, 2).value_or(u"");
    if (bytes.starts_with(kUtf16BeBom)) return Decode("UTF-16BE", bytes.substr(2), false, 2).value_or(u"");
    std::string_view body = bytes;
    if (body.substr(0, kUtf8Bom.size()) == kUtf8Bom) body.remove_prefix(kUtf8Bom.size());
    if (auto utf8 = Decode("UTF-8", body, true)) return *utf8;
    return Decode("CP932", bytes, false).value_or(std::u16string{});
}

// glibc's C.UTF-8 locale knows the case of every Unicode letter, whatever
// locale the user runs in. Surrogates are left alone: no letter of the
// supplementary planes has a case that a hotkey could use.
std::u16string ToUpperCase(std::u16string_view text)
{
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    std::u16string upper(text);
    for (char16_t& unit : upper) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;
        const wint_t mapped = utf8 != nullptr ? ::towupper_l(unit, utf8) : ::towupper(unit);
        if (mapped <= 0xFFFF) unit = static_cast<char16_t>(mapped);
    }
    return upper;
}

}  // namespace platform
