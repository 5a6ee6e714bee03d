// Note text files: naming and alternation, the empty text, failed writes,
// names outside Data, and the export and import through the file dialogs.
#include "menu_fixture.h"
#include "store/text_files.h"

class TextFileTest : public MenuTest {
protected:
    std::u16string Path(const std::filesystem::path& p) const { return platform::FromUtf8(p.string()); }
    std::string FileName(int i) { return platform::ToUtf8(FieldText(Note(i).fileName)); }
    bool InData(const char* name) const { return std::filesystem::exists(DataDir() / name); }
};

TEST_F(TextFileTest, RepeatedSavesAlternateBetweenTwoNames)
{
    StartWithNotes(2);
    Note(0).text = u"first";
    Note(1).text = u"second";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    ASSERT_EQ(SaveNoteText(Note(1).window), 1);
    EXPECT_EQ(FileName(0), "VLM00000.txt");
    EXPECT_EQ(FileName(1), "VLM00001.txt");
    const char* expected[] = {"VLM00002.txt", "VLM00000.txt", "VLM00002.txt"};
    for (const char* name : expected) {
        ASSERT_EQ(SaveNoteText(Note(0).window), 1);
        EXPECT_EQ(FileName(0), name);
    }
    EXPECT_FALSE(InData("VLM00000.txt"));
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00002.txt"), "first");
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00001.txt"), "second");
}

TEST_F(TextFileTest, LowestFreeNumberIsReused)
{
    StartWithNotes(0);
    WriteBytes(DataDir() / "VLM00000.txt", "x");
    WriteBytes(DataDir() / "VLM00002.txt", "x");
    std::u16string path, name;
    ASSERT_EQ(MakeNoteFileName(path, name), 1);
    EXPECT_EQ(name, u"VLM00001.txt");
    EXPECT_EQ(path, Path(DataDir() / "VLM00001.txt"));
    std::filesystem::remove(DataDir() / "VLM00000.txt");
    ASSERT_EQ(MakeNoteFileName(path, name), 1);
    EXPECT_EQ(name, u"VLM00000.txt");
}

TEST_F(TextFileTest, EmptyTextIsNeverWrittenAndKeepsTheOldFile)
{
    StartWithNotes(1);
    Note(0).text = u"old";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    for (const std::optional<std::u16string>& text : {std::optional<std::u16string>(u""),
                                                      std::optional<std::u16string>()}) {
        Note(0).text = text;
        EXPECT_EQ(SaveNoteText(Note(0).window), 0);
        EXPECT_EQ(FileName(0), "VLM00000.txt");
        EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "old");
        EXPECT_FALSE(InData("VLM00001.txt"));
    }
    EXPECT_EQ(SaveNoteText(mainWindow), 0);
}

TEST_F(TextFileTest, FailedWriteKeepsTheOldNameAndFile)
{
    StartWithNotes(1);
    Note(0).text = u"old";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    Note(0).text = u"new";
    platform::FailNthFileWrite(1);
    EXPECT_EQ(SaveNoteText(Note(0).window), 0);
    platform::FailNthFileWrite(0);
    EXPECT_EQ(FileName(0), "VLM00000.txt");
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "old");
    EXPECT_FALSE(InData("VLM00001.txt"));
}

TEST_F(TextFileTest, DeleteNoteFileNeverLeavesData)
{
    StartWithNotes(0);
    WriteBytes(folder_ / "outside.txt", "keep");
    for (const char16_t* name : {u"../outside.txt", u"..", u"."}) {
        TextField<14> field{};
        SetFieldText(field, name);
        DeleteNoteFile(field);
        EXPECT_EQ(FieldText(field), u"");
    }
    EXPECT_EQ(ReadBytes(folder_ / "outside.txt"), "keep");
}

// Replacing a note's text retires the file that held the old one; a note
// whose file could not be read keeps that file and its name.
TEST_F(TextFileTest, ReplacingATextRetiresTheFileThatHeldIt)
{
    StartWithNotes(2);
    Note(0).text = u"old";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    ReplaceNoteText(Note(0), u"new");
    EXPECT_EQ(Note(0).text, u"new");
    EXPECT_EQ(FileName(0), "");
    EXPECT_FALSE(InData("VLM00000.txt"));

    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    ReplaceNoteText(Note(0), std::nullopt);
    EXPECT_FALSE(Note(0).text.has_value());
    EXPECT_EQ(FileName(0), "");
    EXPECT_FALSE(InData("VLM00000.txt"));

    WriteBytes(DataDir() / "VLM00007.txt", "unreadable at start-up");
    SetFieldText(Note(1).fileName, u"VLM00007.txt");
    Note(1).text.reset();
    ReplaceNoteText(Note(1), u"");
    EXPECT_EQ(Note(1).text, u"");
    EXPECT_EQ(FileName(1), "VLM00007.txt");
    EXPECT_TRUE(InData("VLM00007.txt"));
}

TEST_F(TextFileTest, JapaneseTextComesBackUnchanged)
{
    StartWithNotes(1);
    const std::u16string text = u"付箋紙のテスト\r\n二行目：ｶﾀｶﾅ・漢字";
    Note(0).text = text;
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    EXPECT_EQ(ReadTextFile(Path(DataDir() / "VLM00000.txt")), text);
}

TEST_F(TextFileTest, GetFileLengthIsZeroForNothingReadable)
{
    StartWithNotes(0);
    WriteBytes(folder_ / "five.txt", "12345");
    EXPECT_EQ(GetFileLength(Path(folder_ / "five.txt")), 5u);
    EXPECT_EQ(GetFileLength(Path(folder_ / "missing.txt")), 0u);
    EXPECT_EQ(GetFileLength(u""), 0u);
}

TEST_F(TextFileTest, ExportAsksBeforeReplacingAFile)
{
    StartWithNotes(1);
    Note(0).text = u"付箋紙";
    const std::filesystem::path documents = folder_ / "docs";
    std::filesystem::create_directories(documents);
    sim::SetSpecialFolder(5, Path(documents));
    WriteBytes(documents / "old.txt", "untouched");
    sim::QueueFileDialogAnswer(Path(documents / "old.txt"));
    sim::QueueMessageBoxAnswer(platform::id::No);
    sim::QueueFileDialogAnswer(Path(documents / "new"));  // the default extension is added
    // A release at a note while the dialog is open opens no menu.
    PostCommand(Note(0).window, CMD_SAVE_TO_FILE, 1);
    RightClick(0);
    Run(Note(0).window, CMD_SAVE_TO_FILE, 1);

    EXPECT_TRUE(sim::MenusShown().empty());
    EXPECT_EQ(ReadBytes(documents / "old.txt"), "untouched");
    EXPECT_EQ(ReadBytes(documents / "new.txt"), "付箋紙");
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"old.txt\nこのファイルは すでに存在します。\n\n上書きしますか？");
    EXPECT_EQ(sim::MessageBoxes()[0].style, 0x10024u);
    ASSERT_EQ(sim::FileDialogs().size(), 2u);
    const platform::FileDialogRequest& request = sim::FileDialogs()[0].request;
    EXPECT_EQ(sim::FileDialogs()[0].kind, sim::FileDialogKind::Save);
    EXPECT_EQ(request.title, u" 名前を付けて保存");
    EXPECT_EQ(request.initialFolder, Path(documents));
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].description, u"テキストファイル(*.txt)");
    EXPECT_EQ(request.filters[0].pattern, u"*.txt");
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.defaultExtension, u"txt");
    EXPECT_EQ(request.flags, 0x804u);  // the path must exist, no read-only box
    EXPECT_EQ(Saves(), 0);
    EXPECT_EQ(dialogBusy, 0);
}

TEST_F(TextFileTest, ExportReplacesWhenToldAndWritesEmptyForNoText)
{
    StartWithNotes(1);
    WriteBytes(folder_ / "out.txt", "old");
    sim::QueueFileDialogAnswer(Path(folder_ / "out.txt"));
    sim::QueueMessageBoxAnswer(platform::id::Yes);
    Run(Note(0).window, CMD_SAVE_TO_FILE, 1);
    EXPECT_EQ(ReadBytes(folder_ / "out.txt"), "");
    // Without a documents folder the dialog starts in the program's folder.
    EXPECT_EQ(sim::FileDialogs()[0].request.initialFolder, appFolder);
}

TEST_F(TextFileTest, ImportReplacesTheTextAndItsFile)
{
    StartWithNotes(1);
    Note(0).text = u"old";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    WriteBytes(folder_ / "in.txt", "付箋紙\r\n取得");
    sim::QueueFileDialogAnswer(Path(folder_ / "in.txt"));
    Run(Note(0).window, CMD_LOAD_FROM_FILE, 1);
    EXPECT_EQ(Note(0).text, u"付箋紙\r\n取得");
    EXPECT_EQ(FileName(0), "VLM00000.txt");
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "付箋紙\r\n取得");
    EXPECT_EQ(Saves(), 1);
    const sim::ShownFileDialog& dialog = sim::FileDialogs()[0];
    EXPECT_EQ(dialog.kind, sim::FileDialogKind::Open);
    EXPECT_EQ(dialog.request.title, u" ファイルを選択");
    EXPECT_EQ(dialog.request.flags, 0x1804u);  // the file must exist as well
    EXPECT_EQ(dialogBusy, 0);
}

TEST_F(TextFileTest, ImportingAnEmptyFileChangesNothing)
{
    StartWithNotes(1);
    Note(0).text = u"kept";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    WriteBytes(folder_ / "empty.txt", "");
    sim::QueueFileDialogAnswer(Path(folder_ / "empty.txt"));
    Run(Note(0).window, CMD_LOAD_FROM_FILE, 1);
    sim::QueueFileDialogAnswer(std::nullopt);
    Run(Note(0).window, CMD_LOAD_FROM_FILE, 1);
    EXPECT_EQ(Note(0).text, u"kept");
    EXPECT_EQ(FileName(0), "VLM00000.txt");
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "kept");
    EXPECT_EQ(Saves(), 0);
}

// The chosen file is read before the note's own file is deleted, so picking
// the note's own file in Data keeps its text.
TEST_F(TextFileTest, ImportingTheNotesOwnFileKeepsItsText)
{
    StartWithNotes(1);
    Note(0).text = u"mine";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    sim::QueueFileDialogAnswer(Path(DataDir() / "VLM00000.txt"));
    Run(Note(0).window, CMD_LOAD_FROM_FILE, 1);
    EXPECT_EQ(Note(0).text, u"mine");
    EXPECT_EQ(ReadBytes(DataDir() / FileName(0)), "mine");
}
