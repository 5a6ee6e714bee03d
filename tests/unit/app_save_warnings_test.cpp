// Telling the user about writes that failed: once per spell of failures, at
// the tray icon when it is shown and in a message box when it is not; and a
// logged peel that keeps the note when its log entry cannot be written.
#include "menu_fixture.h"
#include "store/deletion_log.h"

namespace {

const std::u16string kNotSaved =
    u"付箋紙を保存できません。\n"
    u"ディスクの空き容量と、Data フォルダに\n"
    u"書き込めるかどうかを確認してください。\n"
    u"書き込めるようになると、次の保存でまとめて書き込まれます。";

constexpr std::uint32_t kWarningBox = 0x10030;  // OK, exclamation, foreground

}  // namespace

class SaveWarningTest : public MenuTest {
protected:
    // How often the user has been told that the notes cannot be saved.
    static std::size_t Told()
    {
        std::size_t boxes = 0;
        for (const sim::ShownMessageBox& box : sim::MessageBoxes()) boxes += box.text == kNotSaved ? 1 : 0;
        return boxes + sim::TrayMessages().size();
    }

    void SaveFailing()
    {
        platform::FailNthFileWrite(1);
        Run(Note(0).window, CMD_SAVE_DATA, 0);
        platform::FailNthFileWrite(0);
    }
};

TEST_F(SaveWarningTest, UserIsToldOnceUntilASaveSucceedsAndAgainAfter)
{
    for (bool trayShown : {true, false}) {
        SCOPED_TRACE(trayShown ? "tray icon shown" : "tray icon off");
        AfreshWithNotes(1);
        if (!trayShown) Run(Note(0).window, CMD_TOGGLE_TRAY_ICON, 1);
        SaveFailing();
        SaveFailing();
        SaveFailing();
        EXPECT_EQ(Told(), 1u);
        Run(Note(0).window, CMD_SAVE_DATA, 0);
        EXPECT_FALSE(saveTrouble.failing);
        SaveFailing();
        EXPECT_EQ(Told(), 2u);

        if (trayShown) {
            ASSERT_EQ(sim::TrayMessages().size(), 2u);
            EXPECT_EQ(sim::TrayMessages()[0].owner, mainWindow);
            EXPECT_EQ(sim::TrayMessages()[0].title, u"付箋紙");
            EXPECT_EQ(sim::TrayMessages()[0].text, kNotSaved);
            EXPECT_TRUE(sim::MessageBoxes().empty());
        } else {
            ASSERT_EQ(sim::MessageBoxes().size(), 2u);
            EXPECT_EQ(sim::MessageBoxes()[0].caption, u"付箋紙");
            EXPECT_EQ(sim::MessageBoxes()[0].style, kWarningBox);
            EXPECT_TRUE(sim::TrayMessages().empty());
        }
        EXPECT_EQ(dialogBusy, 0);
    }
}

// A paste whose text cannot be written keeps the text in the note and the
// user hears of it once; when a write fails only for a moment, the command's
// own save writes everything and nobody is bothered.
TEST_F(SaveWarningTest, APasteThatCannotBeWrittenKeepsTheTextAndTellsOnce)
{
    StartWithNotes(1);
    sim::SetClipboardContent(u"pasted");
    platform::FailNthFileWrite(1);
    Run(Note(0).window, CMD_PASTE, 1);
    platform::FailNthFileWrite(0);
    EXPECT_EQ(Note(0).text, u"pasted");
    EXPECT_EQ(Told(), 0u);

    sim::SetClipboardContent(u"pasted again");
    for (int n : {1, 2}) {
        platform::FailNthFileWrite(n);
        Run(Note(0).window, CMD_PASTE, 1);
    }
    platform::FailNthFileWrite(0);
    EXPECT_EQ(Note(0).text, u"pasted again");
    EXPECT_EQ(Told(), 1u);

    Run(Note(0).window, CMD_SAVE_DATA, 0);
    EXPECT_FALSE(Note(0).textUnsaved);
    EXPECT_EQ(ReadBytes(DataDir() / platform::ToUtf8(FieldText(Note(0).fileName))), "pasted again");
    EXPECT_EQ(Told(), 1u);
}

// When the log cannot take the whole entry, the note is not peeled, the log
// keeps exactly what it held, and the user is told why.
TEST_F(SaveWarningTest, LoggedPeelKeepsTheNoteWhenItsEntryCannotBeWritten)
{
    const std::string earlier = "earlier entries\r\n";
    for (bool logExists : {true, false}) {
        SCOPED_TRACE(logExists ? "log exists" : "no log yet");
        AfreshWithNotes(2);
        ASSERT_TRUE(ReplaceNoteText(Note(0), std::u16string(6000, u'x')));  // an entry of two blocks
        ASSERT_EQ(SaveDataFile(), 1);
        const int saves = Saves();
        if (logExists) WriteBytes(folder_ / "VlmLog.txt", earlier);
        platform::FailNthFileWrite(2);
        Run(Note(0).window, CMD_PEEL_LOGGED, 1);
        platform::FailNthFileWrite(0);

        EXPECT_EQ(noteTable.count, 2);
        EXPECT_EQ(Saves(), saves);
        EXPECT_TRUE(std::filesystem::exists(DataDir() / "VLM00000.txt"));
        if (logExists)
            EXPECT_EQ(ReadBytes(folder_ / "VlmLog.txt"), earlier);
        else
            EXPECT_FALSE(std::filesystem::exists(folder_ / "VlmLog.txt"));
        ASSERT_EQ(sim::MessageBoxes().size(), 1u);
        EXPECT_EQ(sim::MessageBoxes()[0].text,
                  u"ログファイルに書き込めないため、付箋紙をはがしませんでした。\n"
                  u"ディスクの空き容量と、ログファイルに書き込めるかどうかを確認してください。");
        EXPECT_EQ(sim::MessageBoxes()[0].style, kWarningBox);

        Run(Note(0).window, CMD_PEEL_LOGGED, 1);  // the disk has room again
        EXPECT_EQ(noteTable.count, 1);
        const std::string log = ReadBytes(folder_ / "VlmLog.txt");
        const std::string separator = "-------------------------------\r\n";
        EXPECT_TRUE(log.starts_with(logExists ? earlier : separator));
        EXPECT_TRUE(log.ends_with(std::string(6000, 'x') + "\r\n" + separator));
    }
}
