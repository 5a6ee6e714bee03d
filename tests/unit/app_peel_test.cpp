// Peeling a note off: the Delete key's prompts, the logged and unlogged
// peel, the deletion log's bytes, and the tray icon coming back when the
// last shown note goes while it is off.
#include "menu_fixture.h"
#include "note/context_menu.h"
#include "platform/testing/inspect.h"
#include "store/deletion_log.h"

namespace {

const std::string kSeparator = "-------------------------------\r\n";

std::string Entry(const std::string& created, const std::string& peeled, const std::string& text)
{
    return "■作成日時:" + created + "\r\n  削除日時:" + peeled + "\r\n" + text;
}

}  // namespace

class PeelTest : public MenuTest {
protected:
    void StartWithText(int notes, const std::u16string& text)
    {
        StartWithNotes(notes);
        Note(0).text = text;
        SetFieldText(Note(0).created, u"2003/05/01 09:15:00");
        ASSERT_EQ(SaveNoteText(Note(0).window), 1);
        sim::SetLocalTime({2003, 5, 2, 18, 40, 7});
    }

    void Prompt(int answer)
    {
        sim::QueueMessageBoxAnswer(answer);
        PromptPeel(Note(0).window);
        platform::PumpMessages();
    }

    std::string Log() const { return ReadBytes(folder_ / "VlmLog.txt"); }
    bool HasLog() const { return std::filesystem::exists(folder_ / "VlmLog.txt"); }
};

TEST_F(PeelTest, DeleteKeyAsksButAltDeleteIsLeftToTheDesktop)
{
    StartWithText(2, u"abc");
    sim::SetKeyHeld(platform::vk::Alt, true);
    sim::PressKey(Note(0).window, platform::vk::Delete);
    sim::SetKeyHeld(platform::vk::Alt, false);
    platform::PumpMessages();
    EXPECT_TRUE(sim::MessageBoxes().empty()) << "Alt+Delete asked to peel";

    sim::QueueMessageBoxAnswer(platform::id::Cancel);
    sim::PressKey(Note(0).window, platform::vk::Delete);
    platform::PumpMessages();
    EXPECT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(noteTable.count, 2);
}

TEST_F(PeelTest, PromptShowsTheFirst128CharactersOfTheText)
{
    std::u16string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char16_t>(u'A' + i % 26);
    StartWithText(2, text);
    Prompt(platform::id::Cancel);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    const sim::ShownMessageBox& box = sim::MessageBoxes()[0];
    EXPECT_EQ(box.text, u"次の内容の付箋紙をはがします。ログ出力しますか？\n\n" + text.substr(0, 128));
    EXPECT_EQ(box.caption, u"付箋紙");
    EXPECT_EQ(box.style, 0x10023u);  // Yes/No/Cancel, question, foreground
    // Cancel keeps everything.
    EXPECT_EQ(noteTable.count, 2);
    EXPECT_FALSE(HasLog());
    EXPECT_EQ(Saves(), 0);
}

TEST_F(PeelTest, PromptAnswersChooseLoggedOrUnloggedPeel)
{
    const struct {
        int answer;
        bool peeled, logged;
    } cases[] = {
        {platform::id::Yes, true, true},
        {platform::id::No, true, false},
        {platform::id::Cancel, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Afresh();
        StartWithText(2, u"abc");
        const platform::WindowHandle window = Note(0).window;
        Prompt(c.answer);
        EXPECT_EQ(platform::IsLiveWindow(window), !c.peeled);
        EXPECT_EQ(noteTable.count, c.peeled ? 1 : 2);
        EXPECT_EQ(std::filesystem::exists(DataDir() / "VLM00000.txt"), !c.peeled);
        EXPECT_EQ(HasLog(), c.logged);
        EXPECT_EQ(Saves(), c.peeled ? 1 : 0);
    }
}

TEST_F(PeelTest, EmptyNotePromptAsksYesOrNoOnly)
{
    StartWithNotes(2);
    Prompt(platform::id::No);
    EXPECT_EQ(noteTable.count, 2);
    Prompt(platform::id::Yes);
    EXPECT_EQ(noteTable.count, 1);
    ASSERT_EQ(sim::MessageBoxes().size(), 2u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"この付箋紙（内容なし）をはがしますか？");
    EXPECT_EQ(sim::MessageBoxes()[0].style, 0x10024u);  // Yes/No, question, foreground
    EXPECT_FALSE(HasLog());
}

TEST_F(PeelTest, FirstAndSecondLogEntriesHaveTheirExactBytes)
{
    StartWithText(3, u"abc");
    Note(1).text = u"line 1\r\n付箋紙\r\n";
    SetFieldText(Note(1).created, u"2003/05/01 10:00:00");
    Run(Note(0).window, CMD_PEEL_LOGGED, 1);
    const std::string first = kSeparator + Entry("2003/05/01 09:15:00", "2003/05/02 18:40:07", "abc\r\n") + kSeparator;
    EXPECT_EQ(Log(), first);

    sim::SetLocalTime({2003, 5, 3, 1, 2, 3});
    Run(Note(0).window, CMD_PEEL_LOGGED, 1);  // the former note 1, now first
    // A text that ends in CR LF gets no second line break.
    EXPECT_EQ(Log(), first + Entry("2003/05/01 10:00:00", "2003/05/03 01:02:03", "line 1\r\n付箋紙\r\n") + kSeparator);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_FALSE(std::filesystem::exists(DataDir() / "VlmLog.txt"));
}

TEST_F(PeelTest, LogIsAppendedAfterAHandEditedLog)
{
    StartWithText(2, u"abc");
    WriteBytes(folder_ / "VlmLog.txt", "my own notes, no line end");
    Run(Note(0).window, CMD_PEEL_LOGGED, 1);
    EXPECT_EQ(Log(), "my own notes, no line end" + Entry("2003/05/01 09:15:00", "2003/05/02 18:40:07", "abc\r\n") +
                         kSeparator);
}

TEST_F(PeelTest, NoteWithoutTextIsPeeledButNotLogged)
{
    StartWithNotes(2);
    Run(Note(0).window, CMD_PEEL_LOGGED, 0);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_FALSE(HasLog());
}

TEST_F(PeelTest, TrayIconReturnsWhenTheLastShownNoteIsPeeledWithItOff)
{
    StartWithText(2, u"abc");
    HideNote(1);
    Run(Note(0).window, CMD_TOGGLE_TRAY_ICON, 1);
    ASSERT_TRUE(sim::TrayIcons().empty());
    // The menu would not allow it; the Delete key has no such guard.
    Prompt(platform::id::No);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_EQ(noteSettings.trayIcon, 1);
    EXPECT_EQ(sim::TrayIcons().size(), 1u);
    const std::string data = ReadBytes(DataFile());
    ASSERT_GE(data.size(), 24u);
    EXPECT_EQ(data.substr(layout::kTrayIcon, 4), std::string("\1\0\0\0", 4));
}

TEST_F(PeelTest, PeelFromTheMenuTakesTheNotesFileAndRecord)
{
    StartWithText(2, u"abc");
    const platform::WindowHandle second = Note(1).window;
    sim::QueueMenuAnswer(CMD_PEEL);
    RightClick(0);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_EQ(Note(0).window, second);
    EXPECT_FALSE(std::filesystem::exists(DataDir() / "VLM00000.txt"));
    EXPECT_FALSE(HasLog());
    const std::string data = ReadBytes(DataFile());
    EXPECT_EQ(data.size(), layout::Record(1));
}

// Only the note's own peel-off removes it: the desktop's close request (its
// close button, Alt+F4) hides the note when the tray icon can bring it
// back, and otherwise changes nothing. Either way the record, the text file
// and the log stay as they were.
TEST_F(PeelTest, TheDesktopsCloseRequestNeverRemovesANote)
{
    for (const std::int32_t trayIcon : {1, 0}) {
        SCOPED_TRACE(trayIcon);
        Afresh();
        StartWithText(2, u"keep me");
        if (trayIcon == 0) Run(Note(1).window, CMD_TOGGLE_TRAY_ICON, 1);
        const int savesBefore = Saves();
        const platform::WindowHandle window = Note(0).window;
        platform::DeliverCloseRequest(window);
        platform::PumpMessages();
        EXPECT_TRUE(platform::IsLiveWindow(window));
        ASSERT_EQ(noteTable.count, 2);
        EXPECT_EQ(Note(0).window, window);
        EXPECT_EQ(Note(0).text, u"keep me");
        EXPECT_TRUE(std::filesystem::exists(DataDir() / "VLM00000.txt"));
        EXPECT_FALSE(HasLog());
        EXPECT_TRUE(sim::MessageBoxes().empty()) << "no question: nothing is peeled";
        if (trayIcon != 0) {
            EXPECT_FALSE(platform::IsWindowShown(window)) << "hidden, to come back from the tray menu";
            EXPECT_EQ(Note(0).shown, kNoteHidden);
            EXPECT_EQ(Saves(), savesBefore + 1) << "hiding is written like the menu's";
        } else {
            EXPECT_TRUE(platform::IsWindowShown(window)) << "without a tray icon the note stays in sight";
            EXPECT_EQ(Note(0).shown, kNoteShown);
            EXPECT_EQ(Saves(), savesBefore);
        }
    }
}
