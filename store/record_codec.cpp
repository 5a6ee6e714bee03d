// Byte images of fonts, the settings block and note records, field by field
// at fixed little-endian offsets, so the data file does not depend on how the
// compiler lays out the structs. Live fields are written as 0.
#include "store/record_codec.h"

namespace {

// A cursor over a byte image; each Put/Get moves on by the field's width.
class ImageWriter {
public:
    explicit ImageWriter(std::span<std::uint8_t> out) : out_(out) {}
    void U8(std::uint8_t v) { out_[at_++] = v; }
    void U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void U16(char16_t v)
    {
        U8(static_cast<std::uint8_t>(v & 0xFF));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    template <std::size_t N>
    void Text(const TextField<N>& field)
    {
        for (char16_t unit : field) U16(unit);
    }
    std::span<std::uint8_t> Take(std::size_t n)
    {
        auto part = out_.subspan(at_, n);
        at_ += n;
        return part;
    }

private:
    std::span<std::uint8_t> out_;
    std::size_t at_ = 0;
};

class ImageReader {
public:
    explicit ImageReader(std::span<const std::uint8_t> in) : in_(in) {}
    std::uint8_t U8() { return in_[at_++]; }
    std::uint32_t U32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(U8()) << (8 * i);
        return v;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    char16_t U16()
    {
        std::uint8_t low = U8();
        return static_cast<char16_t>(low | (U8() << 8));
    }
    template <std::size_t N>
    TextField<N> Text()
    {
        TextField<N> field{};
        for (char16_t& unit : field) unit = U16();
        return field;
    }
    std::span<const std::uint8_t> Take(std::size_t n)
    {
        auto part = in_.subspan(at_, n);
        at_ += n;
        return part;
    }

private:
    std::span<const std::uint8_t> in_;
    std::size_t at_ = 0;
};

void PutRect(ImageWriter& w, const platform::Rect& r)
{
    w.I32(r.left);
    w.I32(r.top);
    w.I32(r.right);
    w.I32(r.bottom);
}

platform::Rect GetRect(ImageReader& r)
{
    platform::Rect rect;
    rect.left = r.I32();
    rect.top = r.I32();
    rect.right = r.I32();
    rect.bottom = r.I32();
    return rect;
}

}  // namespace

void EncodeFont(const platform::FontDescription& font, std::span<std::uint8_t, kFontBytes> out)
{
    ImageWriter w(out);
    for (std::int32_t v : {font.height, font.width, font.escapement, font.orientation, font.weight})
        w.I32(v);
    for (std::uint8_t v : {font.italic, font.underline, font.strikeOut, font.charSet,
                           font.outPrecision, font.clipPrecision, font.quality, font.pitchAndFamily})
        w.U8(v);
    w.Text(font.faceName);
}

platform::FontDescription DecodeFont(std::span<const std::uint8_t, kFontBytes> in)
{
    ImageReader r(in);
    platform::FontDescription font;
    for (std::int32_t* v : {&font.height, &font.width, &font.escapement, &font.orientation, &font.weight})
        *v = r.I32();
    for (std::uint8_t* v : {&font.italic, &font.underline, &font.strikeOut, &font.charSet,
                            &font.outPrecision, &font.clipPrecision, &font.quality, &font.pitchAndFamily})
        *v = r.U8();
    font.faceName = r.Text<32>();
    return font;
}

void EncodeSettings(const NoteSettings& settings, std::span<std::uint8_t, kSettingsBytes> out)
{
    ImageWriter w(out);
    w.Text(settings.hotkeyKey);
    w.I32(settings.hotkeyAlt);
    w.I32(settings.hotkeyCtrl);
    w.I32(settings.hotkeyShift);
    w.I32(settings.trayIcon);
    EncodeFont(settings.defaultFont, w.Take(kFontBytes).first<kFontBytes>());
    w.I32(settings.editGesture);
    w.I32(settings.inputMode);
    for (std::uint8_t v : settings.reserved) w.U8(v);
}

NoteSettings DecodeSettings(std::span<const std::uint8_t, kSettingsBytes> in)
{
    ImageReader r(in);
    NoteSettings settings;
    settings.hotkeyKey = r.Text<2>();
    settings.hotkeyAlt = r.I32();
    settings.hotkeyCtrl = r.I32();
    settings.hotkeyShift = r.I32();
    settings.trayIcon = r.I32();
    settings.defaultFont = DecodeFont(r.Take(kFontBytes).first<kFontBytes>());
    settings.editGesture = r.I32();
    settings.inputMode = r.I32();
    for (std::uint8_t& v : settings.reserved) v = r.U8();
    return settings;
}

void EncodeRecord(const NoteRecord& record, std::span<std::uint8_t, kRecordBytes> out)
{
    ImageWriter w(out);
    w.U32(0);  // window
    w.U32(0);  // editWindow
    PutRect(w, record.bounds);
    w.I32(record.zLevel);
    w.I32(record.shown);
    w.U32(0);  // text
    w.Text(record.fileName);
    w.Text(record.created);
    EncodeFont(record.font, w.Take(kFontBytes).first<kFontBytes>());
    w.U32(0);  // fontHandle
    w.U32(record.textColor);
    w.U32(record.backColor);
    w.I32(record.fixed);
    for (std::int32_t v : record.reserved) w.I32(v);
    w.Text(record.reservedText);
}

NoteRecord DecodeRecord(std::span<const std::uint8_t, kRecordBytes> in)
{
    ImageReader r(in);
    NoteRecord record;  // window, editWindow, text and fontHandle stay empty
    r.Take(8);
    record.bounds = GetRect(r);
    record.zLevel = r.I32();
    record.shown = r.I32();
    r.Take(4);
    record.fileName = r.Text<14>();
    record.created = r.Text<20>();
    record.font = DecodeFont(r.Take(kFontBytes).first<kFontBytes>());
    r.Take(4);
    record.textColor = r.U32();
    record.backColor = r.U32();
    record.fixed = r.I32();
    for (std::int32_t& v : record.reserved) v = r.I32();
    record.reservedText = r.Text<14>();
    return record;
}
