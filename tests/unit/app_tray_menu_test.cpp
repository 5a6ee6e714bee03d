// The tray menu: its items, the list of hidden notes with their labels, the
// grey rules, where it opens, and what a choice from it does.
#include "app/tray.h"
#include "menu_fixture.h"

using Lines = std::vector<std::string>;

TEST_F(MenuTest, TrayMenuWithoutNotesGreysEverythingThatNeedsOne)
{
    StartWithNotes(0);
    OpenTrayMenu();
    ASSERT_EQ(sim::MenusShown().size(), 1u);
    EXPECT_EQ(Outline(LastMenu().items), (Lines{
                                             "付箋紙の新規作成 (&N) =111",
                                             "表示／非表示 (&D) >",
                                             "  すべての付箋紙を非表示 (&H) =121 grey",
                                             "  すべての付箋紙を再表示 (&R) =122 grey",
                                             "  -",
                                             "  ログ内容を表示 (&L) =125 grey",
                                             "-",
                                             "CeVelmo (&H) >",
                                             "  Default Font (&F) =108",
                                             "  Setting (&S) =106",
                                             "  Help (&H) =136 grey",
                                             "  About (&A) =105",
                                             "  -",
                                             "  CeVelmo 終了 (&X) =110",
                                             "  -",
                                             "  Uninstall (&U) =137",
                                         }));
    // Bottom-right corner at the work area's, the choice returned.
    EXPECT_EQ(LastMenu().at, (platform::Point{1024, 740}));
    EXPECT_EQ(LastMenu().flags, 0x128u);
    EXPECT_EQ(LastMenu().owner, mainWindow);
    EXPECT_EQ(sim::LiveMenuCount(), 0);
    EXPECT_EQ(sim::DeliveredCount(mainWindow, platform::wm::Null), 1);
    EXPECT_EQ(sim::DeliveredCount(mainWindow, platform::wm::Command), 0);
}

TEST_F(MenuTest, HelpAndLogItemsNeedTheirFiles)
{
    StartWithNotes(0);
    WriteBytes(folder_ / "VlmLog.txt", "log");
    std::filesystem::create_directories(folder_ / "CeVelmo.htm");  // a folder is no page
    OpenTrayMenu();
    EXPECT_FALSE(Item(u"ログ内容を表示 (&L)").grey);
    EXPECT_TRUE(Item(u"Help (&H)").grey);

    std::filesystem::remove(folder_ / "CeVelmo.htm");
    WriteBytes(folder_ / "CeVelmo.htm", "<html></html>");
    OpenTrayMenu();
    EXPECT_FALSE(Item(u"Help (&H)").grey);
}

TEST_F(MenuTest, AllNotesShownListsNoneAndOffersOnlyHideAll)
{
    StartWithNotes(2);
    OpenTrayMenu();
    const Lines outline = Outline(LastMenu().items);
    EXPECT_EQ(Lines(outline.begin() + 2, outline.begin() + 6),
              (Lines{"  すべての付箋紙を非表示 (&H) =121", "  すべての付箋紙を再表示 (&R) =122 grey", "  -",
                     "  ログ内容を表示 (&L) =125 grey"}));
}

TEST_F(MenuTest, HiddenNotesAreListedInTableOrderBeforeASeparator)
{
    StartWithNotes(4);
    HideNote(0);
    HideNote(2);
    Note(0).text = u"";
    Note(2).text = u"12345678";
    Note(3).text = u"shown, so not listed";
    OpenTrayMenu();
    const Lines outline = Outline(LastMenu().items);
    EXPECT_EQ(Lines(outline.begin() + 2, outline.begin() + 7),
              (Lines{"  付箋紙 No 0 を表示する =1000", "  12345678 を表示する =1002", "  -",
                     "  すべての付箋紙を非表示 (&H) =121", "  すべての付箋紙を再表示 (&R) =122"}));
}

TEST(NoteListLabel, ShowsTheTextsFirstCharactersOrTheNotesNumber)
{
    const struct {
        std::optional<std::u16string> text;
        int index;
        std::u16string label;
    } cases[] = {
        {u"12345678", 1, u"12345678 を表示する"},
        {u"abcdefghij", 1, u"abcdefghij を表示する"},
        {u"abcdefghijk", 1, u"abcdefghijk... を表示する"},
        {u"abcdefghijklmnopqrst", 1, u"abcdefghijkl... を表示する"},
        {u"a\r\nb", 1, u"a  b を表示する"},
        {u"a\rb\nc", 1, u"a\rb\nc を表示する"},
        // A CR LF pair starting at the last position is taken whole.
        {u"abcdefghijk\r\nxyz", 1, u"abcdefghijk  ... を表示する"},
        {u"付箋紙のテストです。長い内容", 1, u"付箋紙のテストです。長い... を表示する"},
        {u"", 0, u"付箋紙 No 0 を表示する"},
        {std::nullopt, 12, u"付箋紙 No 12 を表示する"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.label));
        EXPECT_EQ(NoteListLabel(c.text, c.index), c.label);
    }
}

TEST_F(MenuTest, ChoosingAListedNoteShowsItAndSavesOnce)
{
    StartWithNotes(3);
    HideNote(1);
    sim::QueueMenuAnswer(CMD_SHOW_NOTE_BASE + 1);
    OpenTrayMenu();
    EXPECT_EQ(LastMenu().answer, 1001);
    // The show and the save are posted to note 1 as program code posts them.
    EXPECT_EQ(sim::DeliveredCount(Note(1).window, platform::wm::Command), 2);
    EXPECT_EQ(sim::DeliveredCount(Note(0).window, platform::wm::Command), 0);
    EXPECT_EQ(Saves(), 1);
}

TEST_F(MenuTest, ListedNoteIdsBeyondTheTableDoNothing)
{
    StartWithNotes(2);
    for (std::uint32_t n : {2u, 3u, 1000u, 64535u}) Run(mainWindow, CMD_SHOW_NOTE_BASE + n, 1);
    EXPECT_EQ(sim::DeliveredCount(Note(0).window, platform::wm::Command), 0);
    EXPECT_EQ(sim::DeliveredCount(Note(1).window, platform::wm::Command), 0);
    EXPECT_EQ(Saves(), 0);
}

TEST_F(MenuTest, TrayMenuChoicesArriveFromAMenu)
{
    StartWithNotes(1);
    sim::QueueMenuAnswer(CMD_NEW_NOTE);
    OpenTrayMenu();
    EXPECT_EQ(noteTable.count, 2);
    // A grey item cannot be chosen: the menu closes without a command.
    sim::QueueMenuAnswer(CMD_SHOW_ALL);
    OpenTrayMenu();
    EXPECT_EQ(LastMenu().answer, 0);
    EXPECT_EQ(sim::DeliveredCount(mainWindow, platform::wm::Command), 1);
}

TEST_F(MenuTest, TrayMenuStaysShutWhileADialogOrMenuIsOpen)
{
    StartWithNotes(1);
    dialogBusy = 1;
    OpenTrayMenu();
    dialogBusy = 0;
    menuBusy = 1;
    OpenTrayMenu();
    menuBusy = 0;
    EXPECT_TRUE(sim::MenusShown().empty());
}
