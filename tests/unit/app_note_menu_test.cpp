// A note's context menu: what its items do, their check and grey rules, the
// items it shares with the tray menu, where it opens, that its choice
// arrives as a command from a menu, and that it does not open over a dialog
// or another menu.
#include <algorithm>
#include <functional>

#include "menu_fixture.h"
#include "platform/sim/sim_menus.h"
#include "store/deletion_log.h"

TEST_F(MenuTest, NoteMenuIsTheNotesAndPostsNothingWhenDismissed)
{
    StartWithNotes(2);
    RightClick(0);
    ASSERT_EQ(sim::MenusShown().size(), 1u);
    EXPECT_EQ(LastMenu().owner, Note(0).window);
    EXPECT_EQ(LastMenu().flags, 0x100u);  // top-left corner at the point, the choice returned
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(0).window);
    EXPECT_EQ(sim::LiveMenuCount(), 0);
    EXPECT_EQ(sim::DeliveredCount(Note(0).window, platform::wm::Null), 1);
    EXPECT_EQ(sim::DeliveredCount(Note(0).window, platform::wm::Command), 0);
    EXPECT_EQ(menuBusy, 0);
}

// The items that both menus offer (new note, settings, help, about, exit)
// look and behave the same in both, whatever the state of the help page.
TEST_F(MenuTest, TrayAndNoteMenusShareTheApplicationItems)
{
    StartWithNotes(1);
    for (bool helpPage : {false, true}) {
        SCOPED_TRACE(helpPage ? "with the help page" : "without the help page");
        if (helpPage) WriteBytes(folder_ / "CeVelmo.htm", "<html></html>");
        OpenTrayMenu();
        const std::vector<sim::ShownMenuItem> tray = Commands(LastMenu().items);
        const std::vector<sim::ShownMenuItem> trayTop = LastMenu().items;
        RightClick(0);
        const std::vector<sim::ShownMenuItem> note = Commands(LastMenu().items);
        const std::vector<sim::ShownMenuItem> noteTop = LastMenu().items;

        std::vector<std::uint32_t> shared;
        for (const sim::ShownMenuItem& t : tray) {
            for (const sim::ShownMenuItem& n : note) {
                if (t.id != n.id) continue;
                shared.push_back(t.id);
                EXPECT_EQ(t.label, n.label) << t.id;
                EXPECT_EQ(t.grey, n.grey) << t.id;
                EXPECT_EQ(t.checked, n.checked) << t.id;
            }
        }
        std::sort(shared.begin(), shared.end());
        EXPECT_EQ(shared, (std::vector<std::uint32_t>{CMD_ABOUT, CMD_SETTINGS, CMD_EXIT, CMD_NEW_NOTE, CMD_HELP}));
        EXPECT_EQ(Item(u"Help (&H)").grey, !helpPage);
        // Both end in the application's submenu under the same label.
        ASSERT_FALSE(trayTop.empty());
        ASSERT_FALSE(noteTop.empty());
        EXPECT_TRUE(trayTop.back().submenu);
        EXPECT_EQ(trayTop.back().label, noteTop.back().label);
    }
}

// Each item, chosen by its label, does what the label says.
TEST_F(MenuTest, ChoosingANoteMenuItemDoesWhatItSays)
{
    struct Case {
        const char16_t* label;
        std::function<void()> check;
    };
    const Case cases[] = {
        {u"非表示 (&H)",
         [this] {
             EXPECT_EQ(Note(0).shown, 0);
             EXPECT_FALSE(platform::IsWindowShown(Note(0).window));
             EXPECT_EQ(Saves(), 1);
         }},
        {u"はがす（ログ出力あり） (&L)",
         [] {
             EXPECT_EQ(noteTable.count, 1);
             EXPECT_TRUE(IsExistingFile(LogFilePath()));
         }},
        {u"はがす（ログ出力なし） (&N)",
         [] {
             EXPECT_EQ(noteTable.count, 1);
             EXPECT_FALSE(IsExistingFile(LogFilePath()));
         }},
        {u"切り取り (&T)",
         [this] {
             EXPECT_FALSE(Note(0).text.has_value());
             EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"text"));
         }},
        {u"コピー (&C)",
         [this] {
             EXPECT_EQ(Note(0).text, u"text");
             EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"text"));
         }},
        {u"貼り付け (&P)", [this] { EXPECT_EQ(Note(0).text, u"pasted"); }},
        {u"ファイルへ保存 (&S)",
         [] {
             ASSERT_EQ(sim::FileDialogs().size(), 1u);
             EXPECT_EQ(sim::FileDialogs()[0].kind, sim::FileDialogKind::Save);
         }},
        {u"ファイルから取得 (&G)",
         [] {
             ASSERT_EQ(sim::FileDialogs().size(), 1u);
             EXPECT_EQ(sim::FileDialogs()[0].kind, sim::FileDialogKind::Open);
         }},
        {u"文字色の変更 (&T)",
         [this] {
             ASSERT_EQ(sim::ColorDialogs().size(), 1u);
             EXPECT_EQ(sim::ColorDialogs()[0].request.color, Note(0).textColor);
         }},
        {u"背景色の変更 (&B)",
         [this] {
             ASSERT_EQ(sim::ColorDialogs().size(), 1u);
             EXPECT_EQ(sim::ColorDialogs()[0].request.color, Note(0).backColor);
         }},
        {u"常に前面に表示 (&T)", [this] { EXPECT_EQ(Note(0).zLevel, -1); }},
        {u"サイズと位置を固定 (&F)", [this] { EXPECT_EQ(Note(0).fixed, 1); }},
        {u"付箋紙の新規作成 (&N)", [] { EXPECT_EQ(noteTable.count, 3); }},
        {u"TaskTray ICON (&I)",
         [] {
             EXPECT_EQ(noteSettings.trayIcon, 0);
             EXPECT_TRUE(sim::TrayIcons().empty());
         }},
        {u"CeVelmo 終了 (&X)",
         [] {
             EXPECT_FALSE(platform::IsLiveWindow(mainWindow));
             EXPECT_EQ(Saves(), 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.label));
        AfreshWithNotes(2);
        Note(0).text = u"text";
        Note(0).textColor = 0x00112233;
        sim::SetClipboardContent(u"pasted");
        ChooseFromNoteMenu(0, c.label);
        c.check();
    }
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
        AfreshWithNotes(c.notes);
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
        AfreshWithNotes(1);
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
