// Text conversion with glibc iconv: UTF-16 <-> UTF-8 for paths and text
// files, and CP932 for text files that are not valid UTF-8. Invalid input
// never stops a conversion: each bad sequence becomes U+FFFD.
#include "platform/text.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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

    // Converts all of in. At a bad sequence, onBad(out) is called and the
    // input moves on by skip bytes (an incomplete tail ends the input); with
    // strict set, the first bad sequence fails the whole conversion.
    template <typename OnBad>
    std::optional<std::string> Run(std::string_view in, std::size_t skip, bool strict, OnBad onBad)
    {
        std::string out;
        char buffer[1024];
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t rc = ::iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            int error = errno;
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
            if (strict) return std::nullopt;
            onBad(out);
            std::size_t step = error == EILSEQ ? std::min(skip, inLeft) : inLeft;
            inPtr += step;
            inLeft -= step;
        }
        return out;
    }

private:
    iconv_t cd_;
};

std::string Utf16ToBytes(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string BytesToUtf16(const std::string& bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto low = static_cast<unsigned char>(bytes[i]);
        auto high = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

void AppendReplacementUnit(std::string& utf16le) { utf16le.append("\xFD\xFF", 2); }

// Decodes bytes of the given character set; nullopt only in strict mode when
// a sequence is invalid.
std::optional<std::u16string> Decode(const char* charset, std::string_view bytes, bool strict)
{
    Converter converter("UTF-16LE", charset);
    if (!converter.ok()) {
        if (strict) return std::nullopt;
        std::u16string text;  // without the converter only ASCII is certain
        for (char c : bytes) text.push_back(static_cast<unsigned char>(c) < 0x80 ? c : kReplacement);
        return text;
    }
    auto utf16le = converter.Run(bytes, 1, strict, AppendReplacementUnit);
    if (!utf16le) return std::nullopt;
    return BytesToUtf16(*utf16le);
}

}  // namespace

std::string ToUtf8(std::u16string_view text)
{
    Converter converter("UTF-8", "UTF-16LE");
    if (!converter.ok()) return {};
    // A lone surrogate is the only invalid UTF-16: skip its one unit.
    auto out = converter.Run(Utf16ToBytes(text), 2, false,
                             [](std::string& o) { o.append(kUtf8Replacement); });
    return out.value_or(std::string{});
}

std::u16string FromUtf8(std::string_view bytes)
{
    return Decode("UTF-8", bytes, false).value_or(std::u16string{});
}

std::string ToMultiByte(std::u16string_view text) { return ToUtf8(text); }

std::u16string FromMultiByte(std::string_view bytes)
{
    bytes = bytes.substr(0, bytes.find('\0'));
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
