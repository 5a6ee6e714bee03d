// Text files come back as the same UTF-16 text whether they were written as
// UTF-8, CP932 or marked UTF-16, and broken bytes never stop a conversion.
#include "data_file_fixture.h"
#include "store/data_file.h"

namespace {

using TextFiles = StoreTest;

TEST_F(TextFiles, Utf8AndCp932ReadAlike)
{
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string bytes;
        std::u16string text = u"付箋紙 memo\r\n";
    } files[] = {
        {"utf8.txt", "\xE4\xBB\x98\xE7\xAE\x8B\xE7\xB4\x99 memo\r\n"},
        {"cp932.txt", "\x95\x74\xE2\xB3\x8E\x86 memo\r\n"},
        {"bom.txt", "\xEF\xBB\xBF\xE4\xBB\x98\xE7\xAE\x8B\xE7\xB4\x99 memo\r\n"},
        {"utf16le.txt", "\xFF\xFE\xD8\x4E\x8B\x7B\x19\x7D \0m\0e\0m\0o\0\r\0\n\0"s},
        {"utf16be.txt", "\xFE\xFF\x4E\xD8\x7B\x8B\x7D\x19\0 \0m\0e\0m\0o\0\r\0\n"s},
        {"nul.txt", "\xE4\xBB\x98 \0tail\0"s, u"付 \0tail\0"s},
        {"utf16 broken.txt", "\xFF\xFE" "a\0\0\xDC" "b"s, u"a\uFFFD\uFFFD"},
        {"utf16 cut.txt", "\xFE\xFF\0a\xD8\x34="s, u"a\uFFFD\uFFFD"},
    };
    for (const auto& f : files) {
        WriteBytes(DataDir() / f.name, f.bytes);
        auto text = ReadTextFile(dataFolder + u"/" + platform::FromUtf8(f.name));
        EXPECT_EQ(text, std::optional<std::u16string>(f.text)) << f.name;
    }
}

TEST_F(TextFiles, EmptyMissingAndFolder)
{
    WriteBytes(DataDir() / "empty.txt", "");
    EXPECT_EQ(ReadTextFile(dataFolder + u"/empty.txt"), std::optional<std::u16string>(u""));
    EXPECT_EQ(ReadTextFile(dataFolder + u"/missing.txt"), std::nullopt);
    EXPECT_EQ(ReadTextFile(dataFolder), std::nullopt);
}

TEST(TextConversion, BrokenBytesBecomeReplacements)
{
    // 0x81 0x20 is no CP932 pair; a lone lead byte ends the input.
    EXPECT_EQ(platform::FromMultiByte("a\x81 b\x95"), u"a\uFFFD b\uFFFD");
    EXPECT_EQ(platform::FromMultiByte("\xB1\xB2"), u"ｱｲ");  // half-width kana
    EXPECT_EQ(platform::FromUtf8("x\xFFy"), u"x\uFFFDy");
    EXPECT_EQ(platform::ToUtf8(u"a\xD800" u"b"), "a\xEF\xBF\xBD" "b");
}

TEST(TextConversion, Utf16RoundTrip)
{
    const std::u16string texts[] = {u"", u"plain", u"付箋紙\n2行目", u"\U0001F4DD note"};
    for (const auto& text : texts) {
        EXPECT_EQ(platform::FromUtf8(platform::ToUtf8(text)), text);
        EXPECT_EQ(platform::FromMultiByte(platform::ToMultiByte(text)), text);
    }
    EXPECT_EQ(platform::ToUtf8(u"\U0001F4DD"), "\xF0\x9F\x93\x9D");
}

// A whole text file gives back every text, also one that begins with
// U+FEFF: the writer puts a mark in front of it only then, so files of
// ordinary texts stay plain UTF-8 and files from other programs that begin
// with a mark still read without it.
TEST(TextConversion, TextFilesGiveBackLeadingByteOrderMarks)
{
    const struct {
        std::u16string text;
        std::string file;
    } rows[] = {
        {u"plain", "plain"},
        {u"", ""},
        {u"\uFEFF", "\xEF\xBB\xBF\xEF\xBB\xBF"},
        {u"\uFEFFx", "\xEF\xBB\xBF\xEF\xBB\xBFx"},
        {u"x\uFEFF", "x\xEF\xBB\xBF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(platform::ToUtf8(row.text));
        EXPECT_EQ(platform::ToTextFile(row.text), row.file);
        EXPECT_EQ(platform::FromMultiByte(row.file), row.text);
    }
    EXPECT_EQ(platform::ToTextFile(std::u16string(u"ab\0cd", 5)), std::string("ab\0cd", 5));
    EXPECT_EQ(platform::ToMultiByte(u"\uFEFFx"), "\xEF\xBB\xBFx");       // no mark of its own
}

}  // namespace

namespace {

// The hotkey's key is stored in upper case: letters of every script with
// cases change, everything else stays.
TEST(UpperCase, LettersOfEveryCasedScriptAndNothingElse)
{
    const struct {
        std::u16string in, out;
    } cases[] = {
        {u"q", u"Q"}, {u"Ab9", u"AB9"}, {u"ä", u"Ä"}, {u"ｑ", u"Ｑ"}, {u"ω", u"Ω"},
        {u"かな付箋", u"かな付箋"}, {u"", u""}, {u"\xD83D\xDE00", u"\xD83D\xDE00"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::ToUpperCase(c.in), c.out) << platform::ToUtf8(c.in);
}

// Texts far larger than the room a conversion starts with, so that it has
// to grow its output while converting and while replacing broken input.
TEST(TextConversion, LongTextsAndLongRunsOfBrokenInput)
{
    std::u16string japanese;
    std::string japaneseUtf8;
    for (int i = 0; i < 50000; ++i) {
        japanese += u"付\U0001F4DD";
        japaneseUtf8 += "\xE4\xBB\x98\xF0\x9F\x93\x9D";
    }
    EXPECT_EQ(platform::ToUtf8(japanese), japaneseUtf8);
    EXPECT_EQ(platform::FromMultiByte(japaneseUtf8), japanese);

    const std::u16string loneSurrogates(40000, u'\xDC00');
    std::string replaced;
    for (int i = 0; i < 40000; ++i) replaced += "\xEF\xBF\xBD";
    EXPECT_EQ(platform::ToUtf8(loneSurrogates), replaced);

    EXPECT_EQ(platform::FromUtf8(std::string(40000, '\xFF')), std::u16string(40000, u'\uFFFD'));
    std::string cp932;
    for (int i = 0; i < 40000; ++i) cp932 += "\x95\x74";
    EXPECT_EQ(platform::FromMultiByte(cp932), std::u16string(40000, u'付'));
}

}  // namespace
