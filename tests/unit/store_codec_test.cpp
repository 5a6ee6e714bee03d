// Byte images of records, settings and fonts: everything stored comes back,
// live fields are written as zero, and the images have their fixed sizes.
#include <algorithm>

#include "data_file_fixture.h"
#include "store/record_codec.h"

namespace {

using Image = std::array<std::uint8_t, kRecordBytes>;

std::uint32_t WordAt(const Image& image, std::size_t at)
{
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | static_cast<std::uint32_t>(image[at + 3]) << 24;
}

TEST(StoreCodec, RecordRoundTripKeepsStoredFieldsAndDropsLiveOnes)
{
    NoteRecord record = SampleRecord(5);
    record.fileName[13] = u'!';  // a unit past the terminator survives too
    record.window = 0x11111111;
    record.editWindow = 0x22222222;
    record.fontHandle = 0x33333333;
    record.text = u"live text";
    Image image;
    image.fill(0xEE);
    EncodeRecord(record, image);

    for (std::size_t at : {0, 4, 32, 196}) EXPECT_EQ(WordAt(image, at), 0u) << "live field at " << at;
    EXPECT_EQ(WordAt(image, 204), 0x00D0FFFFu);
    EXPECT_EQ(std::count(image.begin(), image.end(), 0xEE), 0) << "every byte is written";

    NoteRecord back = DecodeRecord(image);
    ExpectSameStoredFields(back, record);
    EXPECT_EQ(back.fileName[13], u'!');
    EXPECT_EQ(back.window, 0u);
    EXPECT_EQ(back.editWindow, 0u);
    EXPECT_EQ(back.fontHandle, 0u);
    EXPECT_FALSE(back.text.has_value());
}

TEST(StoreCodec, SettingsRoundTripIncludingReserved)
{
    NoteSettings settings;
    settings.hotkeyKey = {u'Z', u'?'};
    settings.hotkeyAlt = 1;
    settings.hotkeyCtrl = -1;
    settings.hotkeyShift = 3;
    settings.trayIcon = 1;
    settings.defaultFont = SampleRecord(2).font;
    settings.defaultFont.faceName[31] = u'x';
    settings.editGesture = 1;
    settings.inputMode = 2;
    for (std::size_t i = 0; i < settings.reserved.size(); ++i) settings.reserved[i] = static_cast<std::uint8_t>(i + 1);
    std::array<std::uint8_t, kSettingsBytes> image{};
    EncodeSettings(settings, image);
    EXPECT_EQ(image[0], 'Z');
    EXPECT_EQ(image[16], 1);    // trayIcon
    EXPECT_EQ(image[112], 1);   // editGesture
    EXPECT_EQ(image[116], 2);   // inputMode
    EXPECT_EQ(image[163], 44);  // last reserved byte

    NoteSettings back = DecodeSettings(image);
    EXPECT_EQ(back.hotkeyKey, settings.hotkeyKey);
    EXPECT_EQ(back.hotkeyCtrl, -1);
    EXPECT_EQ(back.hotkeyShift, 3);
    EXPECT_EQ(back.defaultFont, settings.defaultFont);
    EXPECT_EQ(back.reserved, settings.reserved);
}

TEST(StoreCodec, FontFieldsLieInDescriptionOrder)
{
    platform::FontDescription font;
    font.height = -1;
    font.width = 2;
    font.escapement = 3;
    font.orientation = 4;
    font.weight = 5;
    font.italic = 6;
    font.underline = 7;
    font.strikeOut = 8;
    font.charSet = 9;
    font.outPrecision = 10;
    font.clipPrecision = 11;
    font.quality = 12;
    font.pitchAndFamily = 13;
    SetFieldText(font.faceName, u"あ");
    std::array<std::uint8_t, kFontBytes> image{};
    EncodeFont(font, image);
    const std::uint8_t expected[] = {0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0,
                                     6, 7, 8, 9, 10, 11, 12, 13, 0x42, 0x30, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), image.begin()));
    EXPECT_EQ(DecodeFont(image), font);
}

}  // namespace
