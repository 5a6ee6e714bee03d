// The data file: where every field lies, saving and loading, files that are
// short, odd or crafted, and saves that meet a full disk.
#include <sys/stat.h>

#include <set>

#include "data_file_fixture.h"
#include "store/data_file.h"
#include "store/record_codec.h"

namespace {

using StoreDataFile = StoreTest;

NoteRecord& Slot(int i) { return noteTable.notes.at(static_cast<std::size_t>(i)); }

TEST_F(StoreDataFile, LoadsEachFieldFromItsOffset)
{
    const std::size_t r0 = layout::Record(0), r1 = layout::Record(1);
    static_assert(layout::Record(0) == 172 && layout::Record(1) == 428);
    DataFileBytes file;
    file.PutU32(0, 1)
        .PutUtf16(4, u"G").PutI32(8, 1).PutI32(12, 1).PutI32(16, 0)
        .PutI32(20, 7)                              // trayIcon
        .PutI32(24, -13).PutUtf16(24 + 28, u"明朝")  // defaultFont height, face
        .PutI32(116, 0).PutI32(120, 2)              // editGesture, inputMode
        .PutU8(124, 0xAB).PutU8(167, 0xCD)          // reserved, first and last
        .PutI32(layout::kCount, 2)
        .PutU32(r0, 0xDEAD).PutU32(r0 + 32, 0xBEEF).PutU32(r0 + 196, 0xF00D)  // live fields
        .PutI32(180, -5).PutI32(184, 6).PutI32(188, 107).PutI32(192, 208)
        .PutI32(r0 + 24, -1).PutI32(r0 + 28, 1)
        .PutUtf16(208, u"VLM00003.txt").PutUtf16(236, u"2023/12/31 23:59:58")
        .PutI32(276, -16).PutI32(276 + 16, 700).PutU8(276 + 20, 1).PutU8(276 + 27, 0x31)
        .PutUtf16(276 + 28, u"ゴシック")
        .PutU32(r0 + 200, 0x00112233).PutU32(376, 0x00D0FFFF).PutI32(r0 + 208, 1)
        .PutI32(r0 + 212, 11).PutI32(r0 + 224, -44).PutUtf16(r0 + 228, u"xyz")
        .PutU32(428, 0xDEAD).PutI32(r1 + 8, 1000).PutU32(r1 + 204, 0x00C0C0FF).Resize(layout::Record(2));
    WriteBytes(DataFile(), file.bytes());
    WriteBytes(DataDir() / "VLM00003.txt", "memo");

    ASSERT_EQ(LoadDataFile(), 1);

    EXPECT_EQ(FieldText(noteSettings.hotkeyKey), u"G");
    EXPECT_EQ(noteSettings.hotkeyAlt, 1);
    EXPECT_EQ(noteSettings.hotkeyCtrl, 1);
    EXPECT_EQ(noteSettings.hotkeyShift, 0);
    EXPECT_EQ(noteSettings.trayIcon, 7);
    EXPECT_EQ(noteSettings.defaultFont.height, -13);
    EXPECT_EQ(FieldText(noteSettings.defaultFont.faceName), u"明朝");
    EXPECT_EQ(noteSettings.editGesture, 0);
    EXPECT_EQ(noteSettings.inputMode, 2);
    EXPECT_EQ(noteSettings.reserved[0], 0xAB);
    EXPECT_EQ(noteSettings.reserved[43], 0xCD);

    EXPECT_EQ(noteTable.pendingCount, 2);
    EXPECT_EQ(noteTable.count, 0);
    const NoteRecord& a = Slot(0);
    EXPECT_EQ(a.window, 0u);
    EXPECT_EQ(a.fontHandle, 0u);
    EXPECT_EQ(a.bounds, (platform::Rect{-5, 6, 107, 208}));
    EXPECT_EQ(a.zLevel, -1);
    EXPECT_EQ(a.shown, 1);
    EXPECT_EQ(FieldText(a.fileName), u"VLM00003.txt");
    EXPECT_EQ(a.text, std::optional<std::u16string>(u"memo"));
    EXPECT_EQ(FieldText(a.created), u"2023/12/31 23:59:58");
    EXPECT_EQ(a.font.height, -16);
    EXPECT_EQ(a.font.weight, 700);
    EXPECT_EQ(a.font.italic, 1);
    EXPECT_EQ(a.font.pitchAndFamily, 0x31);
    EXPECT_EQ(FieldText(a.font.faceName), u"ゴシック");
    EXPECT_EQ(a.textColor, 0x00112233u);
    EXPECT_EQ(a.backColor, 0x00D0FFFFu);
    EXPECT_EQ(a.fixed, 1);
    EXPECT_EQ(a.reserved, (std::array<std::int32_t, 4>{11, 0, 0, -44}));
    EXPECT_EQ(FieldText(a.reservedText), u"xyz");
    EXPECT_EQ(Slot(1).window, 0u);
    EXPECT_EQ(Slot(1).bounds.left, 1000);
    EXPECT_EQ(Slot(1).backColor, 0x00C0C0FFu);
    EXPECT_FALSE(Slot(1).text.has_value());  // empty fileName: no text
}

TEST_F(StoreDataFile, SaveWritesFieldsAtTheirOffsets)
{
    noteSettings.trayIcon = 1;
    noteSettings.editGesture = 1;
    noteSettings.inputMode = 2;
    Slot(0) = SampleRecord(3);
    Slot(0).window = 77;
    Slot(1) = SampleRecord(4);
    noteTable.count = 2;
    ASSERT_EQ(SaveDataFile(), 1);

    DataFileBytes expected;
    expected.PutU32(0, 1).PutI32(20, 1).PutI32(116, 1).PutI32(120, 2).PutI32(layout::kCount, 2)
        .PutI32(180, 13).PutUtf16(208, u"VLM00003.txt").PutUtf16(236, u"2024/01/02 03:04:05")
        .PutI32(276, -15).PutU32(376, 0x00D0FFFF).PutI32(428 + 8, 14);
    const std::string bytes = ReadBytes(DataFile());
    ASSERT_EQ(bytes.size(), layout::Record(2));
    for (std::size_t at : {0, 20, 116, 120, 168, 172, 180, 208, 236, 276, 376, 436}) {
        SCOPED_TRACE(at);
        EXPECT_EQ(bytes.substr(at, 4), expected.bytes().substr(at, 4));
    }
    EXPECT_EQ(bytes.substr(208, 26), expected.bytes().substr(208, 26));
}

TEST_F(StoreDataFile, RoundTripReplacesLongerFile)
{
    WriteBytes(DataFile(), std::string(5000, '\x7F'));
    noteSettings.hotkeyKey = {u'Q', 0};
    noteSettings.trayIcon = 1;
    noteSettings.reserved[5] = 9;
    for (int i = 0; i < 3; ++i) Slot(i) = SampleRecord(i);
    Slot(3) = SampleRecord(9);  // pending records are not written
    noteTable.count = 3;
    noteTable.pendingCount = 4;
    ASSERT_EQ(SaveDataFile(), 1);
    EXPECT_EQ(std::filesystem::file_size(DataFile()), layout::Record(3));

    const NoteSettings saved = noteSettings;
    noteSettings = NoteSettings{};
    noteTable = NoteTable{};
    ASSERT_TRUE(AllocNoteTable());
    ASSERT_EQ(LoadDataFile(), 1);
    EXPECT_EQ(FieldText(noteSettings.hotkeyKey), u"Q");
    EXPECT_EQ(noteSettings.reserved, saved.reserved);
    EXPECT_EQ(noteTable.pendingCount, 3);
    for (int i = 0; i < 3; ++i) ExpectSameStoredFields(Slot(i), SampleRecord(i));
    EXPECT_EQ(Slot(3).bounds, platform::Rect{});
}

TEST_F(StoreDataFile, NoNotesSaveAs172Bytes)
{
    ASSERT_EQ(SaveDataFile(), 1);
    const std::string bytes = ReadBytes(DataFile());
    ASSERT_EQ(bytes.size(), layout::Record(0));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(bytes.substr(layout::kCount, 4), std::string(4, '\0'));
}

// Short, old and odd files: what they hold is loaded, the rest stays default.
TEST_F(StoreDataFile, LoadsShortAndOddFiles)
{
    struct Case {
        const char* name;
        DataFileBytes file;
        std::int32_t pending;
        std::int32_t trayIcon;  // default is 5 here
    };
    const Case cases[] = {
        {"zero length", DataFileBytes(0), 0, 5},
        {"two version bytes", DataFileBytes(2), 0, 5},
        {"version 0, no notes", DataFileBytes(8), 0, 5},
        {"version 0, one note", DataFileBytes().PutI32(4, 1).PutI32(layout::kVersion0Records + layout::kBounds, 42).Resize(layout::kVersion0Records + layout::kRecordBytes), 1, 5},
        {"version 2", DataFileBytes().PutU32(0, 2).PutI32(20, 0).PutI32(layout::kCount, 1).Resize(layout::Record(1)), 1, 0},
        {"settings cut short", DataFileBytes().PutU32(0, 1).PutI32(8, 1).Resize(14), 0, 5},
        {"count without records", DataFileBytes().PutU32(0, 1).PutI32(layout::kCount, 4).Resize(layout::Record(0)), 0, 0},
        {"two and a half records", DataFileBytes().PutU32(0, 1).PutI32(layout::kCount, 3).Resize(layout::Record(2) + 128), 2, 0},
        {"negative count", DataFileBytes().PutU32(0, 1).PutI32(layout::kCount, -1).Resize(layout::Record(2)), 0, 0},
        {"huge count", DataFileBytes().PutU32(0, 1).PutI32(layout::kCount, 0x7FFFFFFF).Resize(layout::Record(1)), 1, 0},
        {"negative version", DataFileBytes().PutU32(0, 0xFFFFFFFF).PutI32(4, 1).Resize(layout::kVersion0Records + layout::kRecordBytes), 1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        noteSettings = NoteSettings{};
        noteSettings.trayIcon = 5;
        noteTable = NoteTable{};
        noteTable.pendingCount = 99;
        ASSERT_TRUE(AllocNoteTable());
        WriteBytes(DataFile(), c.file.bytes());
        ASSERT_EQ(LoadDataFile(), 1);
        EXPECT_EQ(noteTable.pendingCount, c.pending);
        EXPECT_EQ(noteTable.capacity, 4);
        EXPECT_EQ(noteSettings.trayIcon, c.trayIcon);
    }
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(StoreDataFile, VersionZeroRecordsFollowTheCount)
{
    WriteBytes(DataFile(), DataFileBytes().PutI32(4, 1).PutI32(layout::kVersion0Records + layout::kBounds, 42)
                               .PutU32(layout::kVersion0Records + layout::kBack, 0xABCDEF)
                               .Resize(layout::kVersion0Records + layout::kRecordBytes).bytes());
    noteSettings.trayIcon = 1;
    ASSERT_EQ(LoadDataFile(), 1);
    EXPECT_EQ(Slot(0).bounds.left, 42);
    EXPECT_EQ(Slot(0).backColor, 0xABCDEFu);
    EXPECT_EQ(noteSettings.trayIcon, 1);
}

TEST_F(StoreDataFile, HalfSettingsBlockKeepsTheRestOfTheDefaults)
{
    noteSettings.hotkeyKey = {u'F', 0};
    noteSettings.trayIcon = 1;
    noteSettings.inputMode = 1;
    WriteBytes(DataFile(), DataFileBytes().PutU32(0, 1).PutUtf16(4, u"K").PutI32(8, 1).Resize(18).bytes());
    ASSERT_EQ(LoadDataFile(), 1);
    EXPECT_EQ(FieldText(noteSettings.hotkeyKey), u"K");
    EXPECT_EQ(noteSettings.hotkeyAlt, 1);
    EXPECT_EQ(noteSettings.hotkeyCtrl, 0);  // bytes 12..13 present as zero
    EXPECT_EQ(noteSettings.trayIcon, 1);
    EXPECT_EQ(noteSettings.inputMode, 1);
}

TEST_F(StoreDataFile, FiveRecordsGrowTableToEight)
{
    DataFileBytes file;
    file.PutU32(0, 1).PutI32(layout::kCount, 5).Resize(layout::Record(5));
    for (int i = 0; i < 5; ++i) file.PutI32(layout::Record(i) + layout::kBounds, 100 + i);
    WriteBytes(DataFile(), file.bytes());
    ASSERT_EQ(LoadDataFile(), 1);
    EXPECT_EQ(noteTable.capacity, 8);
    EXPECT_EQ(noteTable.notes.size(), 8u);
    EXPECT_EQ(noteTable.pendingCount, 5);
    EXPECT_EQ(noteTable.count, 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Slot(i).bounds.left, 100 + i);
    EXPECT_EQ(Slot(5).bounds.left, 0);
}

TEST_F(StoreDataFile, MissingFileLoadsNothingQuietly)
{
    noteSettings.trayIcon = 1;
    ASSERT_EQ(LoadDataFile(), 1);
    EXPECT_EQ(noteTable.pendingCount, 0);
    EXPECT_EQ(noteSettings.trayIcon, 1);
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(StoreDataFile, UnreadableFileShowsMessageAndStops)
{
    std::filesystem::create_directory(DataFile());
    EXPECT_EQ(LoadDataFile(), 0);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    const sim::ShownMessageBox& box = sim::MessageBoxes()[0];
    EXPECT_EQ(box.text, u"CeVlmDat.bin ファイルからデータを読み込めません。\n\nCeVlmDat.bin ファイルを削除してください。");
    EXPECT_EQ(box.caption, u"付箋紙");
    EXPECT_EQ(box.style, platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground);
    EXPECT_TRUE(std::filesystem::is_directory(DataFile()));
}

TEST_F(StoreDataFile, FileNamesOutsideDataAreNeverRead)
{
    WriteBytes(folder_ / "x.txt", "outside");
    const std::u16string names[] = {u"../x.txt", u"/etc/passwd", u"..", u"."};
    DataFileBytes file;
    file.PutU32(0, 1).PutI32(layout::kCount, 4).Resize(layout::Record(4));
    for (std::size_t i = 0; i < 4; ++i) file.PutUtf16(layout::Record(i) + layout::kFileName, names[i]);
    WriteBytes(DataFile(), file.bytes());
    ASSERT_EQ(LoadDataFile(), 1);
    ASSERT_EQ(noteTable.pendingCount, 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(Slot(i).text.has_value());
        EXPECT_EQ(Slot(i).fileName, TextField<14>{});
    }
}

// Whatever lies at a note file's name, or at the data file's, is never waited
// on nor read past the largest text: a FIFO, a link to an endless device, a
// sparse file of 2 GB. A data file that is none is not replaced either.
TEST_F(StoreDataFile, OnlyRegularFilesOfATextsSizeAreRead)
{
    ASSERT_EQ(::mkfifo((DataDir() / "VLM00000.txt").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", DataDir() / "VLM00001.txt");
    WriteBytes(DataDir() / "VLM00002.txt", "");
    std::filesystem::resize_file(DataDir() / "VLM00002.txt", 2ull << 30);
    WriteBytes(DataDir() / "VLM00003.txt", "kept");
    DataFileBytes file;
    file.PutU32(0, 1).PutI32(168, 4).Resize(layout::Record(4));
    for (const std::size_t i : {0, 1, 2, 3})
        file.PutUtf16(layout::Record(i) + 36, u"VLM0000" + std::u16string(1, char16_t(u'0' + i)) + u".txt");
    WriteBytes(DataFile(), file.bytes());
    ASSERT_EQ(LoadDataFile(), 1);
    ASSERT_EQ(noteTable.pendingCount, 4);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Slot(i).text.has_value()) << i;
    EXPECT_EQ(Slot(3).text, u"kept");

    std::filesystem::remove(DataFile());
    ASSERT_EQ(::mkfifo(DataFile().c_str(), 0600), 0);
    EXPECT_EQ(LoadDataFile(), 0);
    EXPECT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(SaveDataFile(), 0);
    EXPECT_TRUE(std::filesystem::is_fifo(DataFile()));
}

std::set<std::string> DataFolderEntries(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A full disk at any write of the save leaves the old file whole and no
// temporary file behind; once no write fails, the new image is in place.
TEST_F(StoreDataFile, FailedSaveKeepsTheOldFile)
{
    Slot(0) = SampleRecord(1);
    noteTable.count = 1;
    ASSERT_EQ(SaveDataFile(), 1);
    const std::string oldBytes = ReadBytes(DataFile());

    ASSERT_TRUE(GrowNoteTable(40));
    for (int i = 0; i < 40; ++i) Slot(i) = SampleRecord(i + 2);
    noteTable.count = 40;
    int failures = 0;
    for (int n = 1; n <= 20; ++n) {
        platform::FailNthFileWrite(n);
        const int saved = SaveDataFile();
        platform::FailNthFileWrite(0);
        EXPECT_EQ(DataFolderEntries(DataDir()), std::set<std::string>{"CeVlmDat.bin"});
        if (saved) break;
        ++failures;
        ASSERT_EQ(ReadBytes(DataFile()), oldBytes) << "after failing write " << n;
    }
    EXPECT_GE(failures, 2);  // the image needs several writes; later ones failed too
    EXPECT_EQ(std::filesystem::file_size(DataFile()), layout::Record(40));
    noteTable = NoteTable{};
    ASSERT_TRUE(AllocNoteTable());
    ASSERT_EQ(LoadDataFile(), 1);
    ASSERT_EQ(noteTable.pendingCount, 40);
    ExpectSameStoredFields(Slot(39), SampleRecord(41));
}

// An append is whole or not at all: a write that fails after earlier blocks
// of the same append went out cuts the file back, and a file that the
// failed append created is gone again.
TEST_F(StoreDataFile, FailedAppendLeavesFileAsItWas)
{
    const std::u16string path = platform::FromUtf8((DataDir() / "log.txt").string());
    const std::string large(10000, 'x');  // three blocks
    for (int n : {1, 2, 3}) {
        SCOPED_TRACE(n);
        platform::FailNthFileWrite(n);
        EXPECT_FALSE(platform::AppendToFile(path, large));
        EXPECT_FALSE(std::filesystem::exists(DataDir() / "log.txt"));
    }
    platform::FailNthFileWrite(0);
    ASSERT_TRUE(platform::AppendToFile(path, "one\n"));
    for (int n : {1, 2, 3}) {
        SCOPED_TRACE(n);
        platform::FailNthFileWrite(n);
        EXPECT_FALSE(platform::AppendToFile(path, large));
        EXPECT_EQ(ReadBytes(DataDir() / "log.txt"), "one\n");
    }
    platform::FailNthFileWrite(0);
    EXPECT_TRUE(platform::AppendToFile(path, "three\n"));
    EXPECT_EQ(ReadBytes(DataDir() / "log.txt"), "one\nthree\n");
}

TEST_F(StoreDataFile, SaveWithoutTableFails)
{
    noteTable = NoteTable{};
    EXPECT_EQ(SaveDataFile(), 0);
    EXPECT_FALSE(std::filesystem::exists(DataFile()));
}

}  // namespace
