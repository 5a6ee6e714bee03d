// Replacing a note's text: the new text is in a file of its own before the
// data file names it, the old file goes only once the data file on disk no
// longer names it, and a write that fails anywhere leaves the old text or
// the new one. Shared, foreign and unread file names, and texts that begin
// with U+FEFF.
#include "menu_fixture.h"
#include "store/text_files.h"

class TextReplaceTest : public MenuTest {
protected:
    std::string FileName(int i) { return platform::ToUtf8(FieldText(Note(i).fileName)); }
    bool InData(const std::string& name) const { return std::filesystem::exists(DataDir() / name); }
    std::vector<std::string> Stored() const { return StoredFileNames(); }
};

TEST_F(TextReplaceTest, NewTextIsOnDiskBeforeTheDataFileNamesItAndTheOldFileGoesAfter)
{
    StartWithNotes(1);
    GiveText(0, u"old");
    ASSERT_EQ(Stored(), std::vector<std::string>{"VLM00000.txt"});

    ASSERT_TRUE(ReplaceNoteText(Note(0), u"new"));
    // A crash now finds the data file naming the old text, whole.
    EXPECT_EQ(Stored(), std::vector<std::string>{"VLM00000.txt"});
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "old");
    EXPECT_EQ(FileName(0), "VLM00001.txt");
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00001.txt"), "new");
    ASSERT_EQ(SaveDataFile(), 1);
    EXPECT_EQ(Stored(), std::vector<std::string>{"VLM00001.txt"});
    EXPECT_FALSE(InData("VLM00000.txt"));

    // No text, no file: the old one stays until the data file forgets it.
    ASSERT_TRUE(ReplaceNoteText(Note(0), std::nullopt));
    EXPECT_EQ(FileName(0), "");
    EXPECT_TRUE(InData("VLM00001.txt"));
    ASSERT_EQ(SaveDataFile(), 1);
    EXPECT_EQ(Stored(), std::vector<std::string>{""});
    EXPECT_EQ(DataEntries(), std::set<std::string>{"CeVlmDat.bin"});
}

TEST_F(TextReplaceTest, RetiredFileStaysWhileTheDataFileOnDiskStillNamesIt)
{
    StartWithNotes(1);
    GiveText(0, u"old");
    ASSERT_TRUE(ReplaceNoteText(Note(0), u"new"));
    platform::FailNthFileWrite(1);
    EXPECT_EQ(SaveDataFile(), 0);
    platform::FailNthFileWrite(0);
    EXPECT_EQ(Stored(), std::vector<std::string>{"VLM00000.txt"});
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "old");

    ASSERT_EQ(SaveDataFile(), 1);
    EXPECT_EQ(Stored(), std::vector<std::string>{"VLM00001.txt"});
    EXPECT_FALSE(InData("VLM00000.txt"));
}

// A text that cannot be written changes nothing on disk: the record keeps
// its old file, the note the new text, and the next save writes it.
TEST_F(TextReplaceTest, TextThatCannotBeWrittenIsKeptAndWrittenByTheNextSave)
{
    StartWithNotes(1);
    GiveText(0, u"old");
    platform::FailNthFileWrite(1);
    EXPECT_FALSE(ReplaceNoteText(Note(0), u"new"));
    platform::FailNthFileWrite(0);
    EXPECT_EQ(Note(0).text, u"new");
    EXPECT_EQ(FileName(0), "VLM00000.txt");
    EXPECT_EQ(DataEntries(), (std::set<std::string>{"CeVlmDat.bin", "VLM00000.txt"}));
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "old");

    ASSERT_EQ(SaveDataFile(), 1);
    EXPECT_EQ(Stored(), std::vector<std::string>{"VLM00001.txt"});
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00001.txt"), "new");
    EXPECT_FALSE(InData("VLM00000.txt"));
}

// Every command that replaces or removes a text, with each of its writes
// failing in turn (as a full disk would make it fail): the data file on disk
// always names whole files that hold the old text or the new one, the other
// note is never touched, and once no write fails the new state is on disk.
TEST_F(TextReplaceTest, AFailedWriteAnywhereInACommandLeavesTheOldOrTheNewText)
{
    const struct {
        const char* name;
        std::uint32_t command;
        std::optional<std::string> newText;  // nullopt: the note has no text after it
        bool noteRemains;
    } rows[] = {
        {"paste", CMD_PASTE, "pasted", true},
        {"cut", CMD_CUT, std::nullopt, true},
        {"import", CMD_LOAD_FROM_FILE, "imported", true},
        {"peel", CMD_PEEL, std::nullopt, false},
    };
    constexpr int kMoreThanAnyCommandWrites = 6;
    for (const auto& row : rows) {
        bool sawOld = false, sawNew = false;
        for (int n = 1; n <= kMoreThanAnyCommandWrites; ++n) {
            SCOPED_TRACE(std::string(row.name) + ", failing write " + std::to_string(n));
            AfreshWithNotes(2);
            GiveText(0, u"old");
            GiveText(1, u"other");
            sim::SetClipboardContent(u"pasted");
            WriteBytes(folder_ / "in.txt", "imported");
            sim::QueueFileDialogAnswer(platform::FromUtf8((folder_ / "in.txt").string()));
            platform::FailNthFileWrite(n);
            Run(Note(0).window, row.command, 1);
            platform::FailNthFileWrite(0);

            std::set<std::string> texts;
            const std::vector<std::string> stored = Stored();
            for (const std::string& name : stored) {
                if (name.empty()) continue;
                ASSERT_TRUE(InData(name)) << name;
                texts.insert(ReadBytes(DataDir() / name));
            }
            EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()).size(), stored.size());
            EXPECT_TRUE(texts.count("other"));
            const bool oldState = texts.count("old") == 1 && stored.size() == 2;
            const bool newState = stored.size() == (row.noteRemains ? 2u : 1u) &&
                                  texts.size() == (row.newText ? 2u : 1u) &&
                                  (!row.newText || texts.count(*row.newText) == 1);
            EXPECT_TRUE(oldState || newState);
            sawOld = sawOld || oldState;
            sawNew = newState;
        }
        EXPECT_TRUE(sawOld) << row.name << ": no failing write kept the old state";
        EXPECT_TRUE(sawNew) << row.name << ": the command did not complete once no write failed";
    }
}

// Peeling a note off: its file goes only after a data file without the
// note has been written; when that save fails, the file stays as long as
// the data file on disk names it.
TEST_F(TextReplaceTest, PeeledNotesFileGoesOnlyAfterTheSaveWithoutIt)
{
    StartWithNotes(2);
    GiveText(0, u"peel me");
    platform::FailNthFileWrite(1);
    Run(Note(0).window, CMD_PEEL, 1);
    platform::FailNthFileWrite(0);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_EQ(Stored(), (std::vector<std::string>{"VLM00000.txt", ""}));
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "peel me");

    Run(Note(0).window, CMD_SAVE_DATA, 0);
    EXPECT_EQ(Stored(), std::vector<std::string>{""});
    EXPECT_FALSE(InData("VLM00000.txt"));
}

// Two records that name one file (a copied data file, the crash of an older
// version) both keep its text; the second gets a file of its own at the next
// save, and no file is deleted while a record still names it.
TEST_F(TextReplaceTest, RecordsThatShareAFileEachKeepTheTextAndGetTheirOwnFile)
{
    for (int peeled : {0, 1}) {
        SCOPED_TRACE(peeled);
        Afresh();
        NoteRecord shared = StoredNote({40, 40, 200, 80}, -2, 1);
        SetFieldText(shared.fileName, u"VLM00003.txt");
        StoreNotes({shared, shared});
        WriteBytes(DataDir() / "VLM00003.txt", "shared");
        StartWithNotes(0);
        ASSERT_EQ(noteTable.count, 2);
        EXPECT_EQ(Note(0).text, u"shared");
        EXPECT_EQ(Note(1).text, u"shared");

        Run(Note(peeled).window, CMD_PEEL, 1);
        ASSERT_EQ(noteTable.count, 1);
        EXPECT_EQ(Note(0).text, u"shared");
        ASSERT_FALSE(FileName(0).empty());
        EXPECT_EQ(Stored(), std::vector<std::string>{FileName(0)});
        EXPECT_EQ(ReadBytes(DataDir() / FileName(0)), "shared");
        EXPECT_EQ(DataEntries(), (std::set<std::string>{"CeVlmDat.bin", FileName(0)}));
    }
}

// A record's file name that is no note file's name counts as no file: the
// file is not read as the note's text and peeling the note leaves it.
TEST_F(TextReplaceTest, ANameThatIsNoNoteFileNameCountsAsNoFile)
{
    const char* names[] = {"CeVlmDat.bin", "VlmLog.txt", "vlm00001.txt", "VLM0001.txt", "VLM00001.TXT",
                           ".CeVlmDat.bin.cevelmo-save-a1B2c3"};
    std::vector<NoteRecord> records;
    for (const char* name : names) {
        NoteRecord record = StoredNote({40, 40, 200, 80}, -2, 1);
        SetFieldText(record.fileName, platform::FromUtf8(name));
        records.push_back(record);
    }
    StoreNotes(records);
    for (const char* name : names)
        if (std::string(name) != "CeVlmDat.bin") WriteBytes(DataDir() / name, "not a note");
    // The temporary-looking one would be removed at start-up as a leftover.
    std::filesystem::remove(DataDir() / names[5]);

    StartWithNotes(0);
    ASSERT_EQ(noteTable.count, 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_FALSE(Note(i).text.has_value());
        EXPECT_EQ(FileName(i), "");
    }
    while (noteTable.count > 0) Run(Note(0).window, CMD_PEEL, 1);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(ReadBytes(DataDir() / names[i]), "not a note") << names[i];
    EXPECT_EQ(ReadBytes(DataFile()).size(), layout::Record(0));
}

// A note whose file could not be read at start-up never has that file
// deleted: not when it gets a text, not when it is peeled off.
TEST_F(TextReplaceTest, AFileTheNoteCouldNotReadIsNeverDeleted)
{
    StartWithNotes(3);
    for (int i = 0; i < 3; ++i) {
        const std::string name = "VLM0000" + std::to_string(7 + i) + ".txt";
        WriteBytes(DataDir() / name, "unreadable at start-up");
        SetFieldText(Note(i).fileName, platform::FromUtf8(name));
        Note(i).text.reset();
    }
    ASSERT_TRUE(ReplaceNoteText(Note(0), u""));
    EXPECT_EQ(FileName(0), "VLM00007.txt");
    ASSERT_TRUE(ReplaceNoteText(Note(1), u"new"));
    EXPECT_EQ(FileName(1), "VLM00000.txt");
    Run(Note(2).window, CMD_PEEL, 1);
    Run(Note(0).window, CMD_SAVE_DATA, 0);
    for (const char* name : {"VLM00007.txt", "VLM00008.txt", "VLM00009.txt"})
        EXPECT_EQ(ReadBytes(DataDir() / name), "unreadable at start-up") << name;
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00000.txt"), "new");
}

// A U+FEFF at the start belongs to the text and survives a save and a
// restart; only the mark that the program writes in front of it goes.
TEST_F(TextReplaceTest, ALeadingByteOrderMarkIsPartOfTheText)
{
    const std::u16string texts[] = {u"\uFEFFabc", u"\uFEFF", u"\uFEFF\uFEFF付箋紙", u"a\uFEFF"};
    StartWithNotes(4);
    for (int i = 0; i < 4; ++i) GiveText(i, texts[i]);
    Restart();
    ASSERT_EQ(noteTable.count, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Note(i).text, texts[i]) << i;
    EXPECT_EQ(ReadBytes(DataDir() / FileName(3)), "a\xEF\xBB\xBF");
}
