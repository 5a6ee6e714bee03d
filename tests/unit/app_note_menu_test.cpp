// A note's context menu: its items with their check and grey rules, where
// it opens, that its choice arrives as a command from a menu, and that it
// does not open over a dialog or another menu.
#include "menu_fixture.h"

using Lines = std::vector<std::string>;

TEST_F(MenuTest, NoteMenuOffersEveryActionOnTheNote)
{
    StartWithNotes(2);
    Note(0).text = u"text";
    RightClick(0);
    ASSERT_EQ(sim::MenusShown().size(), 1u);
    EXPECT_EQ(Outline(LastMenu().items), (Lines{
                                             "はがす (&D) >",
                                             "  はがす（ログ出力あり） (&L) =112",
                                             "  はがす（ログ出力なし） (&N) =113",
                                             "  -",
                                             "  非表示 (&H) =123",
                                             "-",
                                             "編集 (&E) >",
                                             "  直接編集 (&E) =116",
                                             "  -",
                                             "  切り取り (&T) =127",
                                             "  コピー (&C) =128",
                                             "  貼り付け (&P) =129",
                                             "  -",
                                             "  ファイルへ保存 (&S) =134",
                                             "  ファイルから取得 (&G) =135",
                                             "フォントの変更 (&F) =107",
                                             "色の変更 (&C) >",
                                             "  文字色の変更 (&T) =114",
                                             "  背景色の変更 (&B) =115",
                                             "表示レベル (&L) >",
                                             "  常に前面に表示 (&T) =118",
                                             "  通常レベルで表示 (&N) =119 checked",
                                             "  常に最下位に表示 (&B) =120 grey",
                                             "サイズと位置 (&S) >",
                                             "  サイズの自動調整 (&A) =132",
                                             "  サイズと位置を固定 (&F) =133",
                                             "付箋紙の新規作成 (&N) =111",
                                             "-",
                                             "CeVelmo (&H) >",
                                             "  TaskTray ICON (&I) =109 checked",
                                             "  Setting (&S) =106",
                                             "  Help (&H) =136 grey",
                                             "  About (&A) =105",
                                             "  -",
                                             "  CeVelmo 終了 (&X) =110",
                                         }));
    EXPECT_EQ(LastMenu().owner, Note(0).window);
    EXPECT_EQ(LastMenu().flags, 0x100u);
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(0).window);
    EXPECT_EQ(sim::LiveMenuCount(), 0);
    EXPECT_EQ(sim::DeliveredCount(Note(0).window, platform::wm::Null), 1);
    EXPECT_EQ(menuBusy, 0);
}

TEST_F(MenuTest, NoteMenuOpensAtThePointerInScreenCoordinates)
{
    StartWithNotes(1);
    const platform::Rect bounds = platform::GetWindowBounds(Note(0).window);
    RightClick(0, 10, 7);
    EXPECT_EQ(LastMenu().at, (platform::Point{bounds.left + 10, bounds.top + 7}));
    RightClick(0, -3, -2);  // a release outside the note, after a capture
    EXPECT_EQ(LastMenu().at, (platform::Point{bounds.left - 3, bounds.top - 2}));
}

TEST_F(MenuTest, PeelItemsFollowTheTextAndTheLastNoteGuard)
{
    const struct {
        int notes;
        int trayIcon;
        bool text;
        bool loggedGrey, peelGrey, hideGrey;
    } cases[] = {
        {2, 1, false, true, false, false},  // no text: nothing to log
        {1, 0, true, true, true, true},     // last shown note, no tray icon
        {1, 1, true, false, false, false},  // the tray icon still reaches the program
        {1, 1, false, true, false, false},
        {2, 0, true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.notes << " notes, tray " << c.trayIcon << ", text " << c.text);
        TearDown();
        SetUp();
        StartWithNotes(c.notes);
        noteSettings.trayIcon = c.trayIcon;
        if (c.text) Note(0).text = u"x";
        RightClick(0);
        EXPECT_EQ(Item(u"はがす（ログ出力あり） (&L)").grey, c.loggedGrey);
        EXPECT_EQ(Item(u"はがす（ログ出力なし） (&N)").grey, c.peelGrey);
        EXPECT_EQ(Item(u"非表示 (&H)").grey, c.hideGrey);
        EXPECT_EQ(Item(u"TaskTray ICON (&I)").checked, c.trayIcon != 0);
    }
}

TEST_F(MenuTest, LevelAndSizeItemsShowTheNotesState)
{
    const struct {
        std::int32_t zLevel;
        std::int32_t fixed;
        bool topmost, normal, bottom;
    } cases[] = {
        {-1, 0, true, false, false},
        {-2, 1, false, true, false},
        {0, 0, false, true, false},
        {1, 0, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "zLevel " << c.zLevel << ", fixed " << c.fixed);
        TearDown();
        SetUp();
        StartWithNotes(1);
        Note(0).zLevel = c.zLevel;
        Note(0).fixed = c.fixed;
        RightClick(0);
        EXPECT_EQ(Item(u"常に前面に表示 (&T)").checked, c.topmost);
        EXPECT_EQ(Item(u"通常レベルで表示 (&N)").checked, c.normal);
        EXPECT_EQ(Item(u"常に最下位に表示 (&B)").checked, c.bottom);
        EXPECT_TRUE(Item(u"常に最下位に表示 (&B)").grey);
        EXPECT_FALSE(Item(u"常に前面に表示 (&T)").grey);
        EXPECT_EQ(Item(u"サイズの自動調整 (&A)").grey, c.fixed != 0);
        EXPECT_EQ(Item(u"サイズと位置を固定 (&F)").checked, c.fixed != 0);
    }
}

TEST_F(MenuTest, NoteMenuHelpItemNeedsThePage)
{
    StartWithNotes(1);
    WriteBytes(folder_ / "CeVelmo.htm", "<html></html>");
    RightClick(0);
    EXPECT_FALSE(Item(u"Help (&H)").grey);
}

TEST_F(MenuTest, RightClickDoesNothingWhileAMenuOrDialogIsOpen)
{
    StartWithNotes(2);
    // The second release arrives while the first note's menu is open.
    platform::PostWindowMessage(Note(0).window, platform::wm::RightButtonUp, 0, 0);
    RightClick(1);
    EXPECT_EQ(sim::MenusShown().size(), 1u);
    EXPECT_EQ(LastMenu().owner, Note(0).window);

    // A release while the colour chooser is open.
    PostCommand(Note(0).window, CMD_BACK_COLOUR, 1);
    RightClick(1);
    EXPECT_EQ(sim::ColorDialogs().size(), 1u);
    EXPECT_EQ(sim::MenusShown().size(), 1u);

    dialogBusy = 1;
    RightClick(1);
    dialogBusy = 0;
    EXPECT_EQ(sim::MenusShown().size(), 1u);
    RightClick(1);
    EXPECT_EQ(sim::MenusShown().size(), 2u);
}

TEST_F(MenuTest, NoteMenuChoiceArrivesFromAMenuAtTheNote)
{
    StartWithNotes(2);
    // The colour commands save only when a menu chose them.
    Note(1).textColor = 0x00102030;
    sim::QueueMenuAnswer(CMD_TEXT_COLOUR);
    RightClick(1);
    EXPECT_EQ(sim::ColorDialogs().size(), 1u);
    EXPECT_EQ(sim::ColorDialogs().back().request.color, 0x00102030u) << "the chooser is not for this note";
    EXPECT_EQ(Saves(), 1);
    Run(Note(1).window, CMD_TEXT_COLOUR, 0);
    EXPECT_EQ(Saves(), 1);
    // Dismissed: nothing but the closing null message.
    RightClick(1);
    EXPECT_EQ(sim::DeliveredCount(Note(1).window, platform::wm::Command), 2);
    EXPECT_EQ(sim::DeliveredCount(Note(1).window, platform::wm::Null), 2);
}
