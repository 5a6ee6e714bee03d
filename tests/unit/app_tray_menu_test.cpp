// The tray menu: its items, the list of hidden notes with their labels, the
// grey rules, where it opens, and what a choice from it does.
#include <functional>

#include "app/tray.h"
#include "menu_fixture.h"
#include "note/levels.h"
#include "platform/sim/sim_menus.h"
#include "store/deletion_log.h"

namespace {

// The items of the tray menu's note list, "表示／非表示 (&D)".
std::vector<sim::ShownMenuItem> NoteList(const sim::ShownMenu& menu)
{
    for (const sim::ShownMenuItem& item : menu.items)
        if (item.submenu && item.label == u"表示／非表示 (&D)") return item.items;
    ADD_FAILURE() << "no note list";
    return {};
}

}  // namespace

TEST_F(MenuTest, TrayMenuWithoutNotesGreysEverythingThatNeedsOne)
{
    StartWithNotes(0);
    OpenTrayMenu();
    ASSERT_EQ(sim::MenusShown().size(), 1u);
    // No note is listed, so no separator comes before the fixed items.
    const std::vector<sim::ShownMenuItem> list = NoteList(LastMenu());
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].id, CMD_HIDE_ALL);
    EXPECT_TRUE(list[0].grey);
    EXPECT_EQ(list[1].id, CMD_SHOW_ALL);
    EXPECT_TRUE(list[1].grey);
    EXPECT_TRUE(list[2].separator);
    EXPECT_EQ(list[3].id, CMD_SHOW_LOG);
    EXPECT_TRUE(list[3].grey);
    EXPECT_TRUE(Item(u"Help (&H)").grey);
    EXPECT_FALSE(Item(u"付箋紙の新規作成 (&N)").grey);
    // Bottom-right corner at the icon's top-right, the choice returned.
    EXPECT_EQ(LastMenu().at, (platform::Point{1022, 744}));
    EXPECT_EQ(LastMenu().flags, 0x128u);
    EXPECT_EQ(LastMenu().owner, mainWindow);
    EXPECT_EQ(sim::LiveMenuCount(), 0);
    EXPECT_EQ(sim::DeliveredCount(mainWindow, platform::wm::Null), 1);
    EXPECT_EQ(sim::DeliveredCount(mainWindow, platform::wm::Command), 0);
}

// The tray may stand on any edge of the screen, and the desktop may not tell
// where its icons are: the menu opens beside the icon, else at the pointer
// that clicked it, else (a key) at the work area's corner.
TEST_F(MenuTest, TrayMenuOpensAtTheIconWhereverTheTrayIs)
{
    using platform::Point;
    using platform::Rect;
    enum class Asked { Click, CtrlTab, Hotkey };
    constexpr std::uint32_t kAbove = 0x128;  // bottom-right corner at the point
    constexpr std::uint32_t kBelow = 0x108;  // top-right corner at the point
    const struct {
        const char* what;
        std::optional<Rect> icon;  // where the tray tells the icon stands
        Point pointer;
        Asked asked;
        Point at;
        std::uint32_t flags;
    } cases[] = {
        {"bottom panel, click", Rect{900, 744, 922, 766}, {0, 0}, Asked::Click, {922, 744}, kAbove},
        {"bottom panel, Ctrl+Tab", Rect{900, 744, 922, 766}, {0, 0}, Asked::CtrlTab, {922, 744}, kAbove},
        {"top panel, click", Rect{40, 2, 62, 24}, {0, 0}, Asked::Click, {62, 24}, kBelow},
        {"top panel, hotkey", Rect{40, 2, 62, 24}, {0, 0}, Asked::Hotkey, {62, 24}, kBelow},
        {"unknown place, click low", std::nullopt, {700, 760}, Asked::Click, {700, 760}, kAbove},
        {"unknown place, click high", std::nullopt, {300, 10}, Asked::Click, {300, 10}, kBelow},
        {"unknown place, Ctrl+Tab", std::nullopt, {300, 10}, Asked::CtrlTab, {1024, 740}, kAbove},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Afresh();
        noteSettings.hotkeyCtrl = 1;
        noteSettings.hotkeyKey = {u'F', 0};
        noteSettings.trayIcon = 1;
        StoreNotes({});
        StartWithNotes(1);
        sim::SetTrayIconPlace(c.icon);
        sim::MovePointerTo(c.pointer);
        if (c.asked == Asked::Click) {
            OpenTrayMenu();
        } else if (c.asked == Asked::CtrlTab) {
            sim::SetKeyHeld(platform::vk::Control, true);
            sim::PressKey(Note(0).window, platform::vk::Tab);
            sim::SetKeyHeld(platform::vk::Control, false);
        } else {
            HideNote(0);  // with every note hidden the hotkey opens the tray menu
            ASSERT_TRUE(sim::PressHotkey(platform::mod::Control, 'F'));
        }
        platform::PumpMessages();
        ASSERT_EQ(sim::MenusShown().size(), 1u);
        EXPECT_EQ(LastMenu().at, c.at);
        EXPECT_EQ(LastMenu().flags, c.flags);
    }

    // No icon on the screen: a key opens the menu at the work area's corner.
    Afresh();
    sim::SetTrayAvailable(false);
    StartWithNotes(1);
    sim::MovePointerTo({300, 10});
    sim::SetKeyHeld(platform::vk::Control, true);
    sim::PressKey(Note(0).window, platform::vk::Tab);
    sim::SetKeyHeld(platform::vk::Control, false);
    platform::PumpMessages();
    ASSERT_FALSE(sim::MenusShown().empty());
    EXPECT_EQ(LastMenu().at, (Point{1024, 740}));
    EXPECT_EQ(LastMenu().flags, kAbove);
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
    const std::vector<sim::ShownMenuItem> list = NoteList(LastMenu());
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].id, CMD_HIDE_ALL);
    EXPECT_FALSE(Item(u"すべての付箋紙を非表示 (&H)").grey);
    EXPECT_TRUE(Item(u"すべての付箋紙を再表示 (&R)").grey);
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
    const std::vector<sim::ShownMenuItem> list = NoteList(LastMenu());
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[0].label, u"付箋紙 No 0 を表示する");
    EXPECT_EQ(list[0].id, 1000u);
    EXPECT_EQ(list[1].label, u"12345678 を表示する");
    EXPECT_EQ(list[1].id, 1002u);
    EXPECT_TRUE(list[2].separator);
    EXPECT_EQ(list[3].id, CMD_HIDE_ALL);
    EXPECT_FALSE(list[3].grey);
    EXPECT_EQ(list[4].id, CMD_SHOW_ALL);
    EXPECT_FALSE(list[4].grey);
}

// Each item, chosen by its label, does what the label says.
TEST_F(MenuTest, ChoosingATrayMenuItemDoesWhatItSays)
{
    struct Case {
        const char16_t* label;
        std::function<void()> check;
    };
    const Case cases[] = {
        {u"付箋紙の新規作成 (&N)", [] { EXPECT_EQ(noteTable.count, 3); }},
        {u"すべての付箋紙を非表示 (&H)",
         [this] {
             EXPECT_EQ(CountShownNotes(), 0);
             EXPECT_FALSE(platform::IsWindowShown(Note(1).window));
             EXPECT_EQ(Saves(), 1);
         }},
        {u"すべての付箋紙を再表示 (&R)",
         [this] {
             EXPECT_EQ(CountShownNotes(), 2);
             EXPECT_TRUE(platform::IsWindowShown(Note(0).window));
             EXPECT_EQ(Saves(), 1);
         }},
        {u"ログ内容を表示 (&L)",
         [] {
             ASSERT_EQ(sim::ShellRequests().size(), 1u);
             EXPECT_EQ(sim::ShellRequests()[0].file, LogFilePath());
         }},
        {u"Help (&H)",
         [] {
             ASSERT_EQ(sim::ShellRequests().size(), 1u);
             EXPECT_EQ(sim::ShellRequests()[0].file, helpPath);
         }},
        {u"Setting (&S)", [] { EXPECT_EQ(Saves(), 1); }},
        {u"Default Font (&F)", [] { EXPECT_EQ(Saves(), 1); }},
        {u"CeVelmo 終了 (&X)",
         [] {
             EXPECT_FALSE(platform::IsLiveWindow(mainWindow));
             EXPECT_EQ(Saves(), 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.label));
        AfreshWithNotes(2);
        HideNote(0);
        WriteBytes(folder_ / "CeVelmo.htm", "<html></html>");
        WriteBytes(folder_ / "VlmLog.txt", "log");
        ChooseFromTrayMenu(c.label);
        c.check();
    }
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

// A tray that draws the icon's menu itself (a D-Bus tray) gets the tray
// menu with the icon and anew each time it is about to show it; its choices
// arrive as from a menu, except while a dialog is open.
TEST_F(MenuTest, ATrayThatDrawsTheMenuItselfShowsTheTrayMenuAsItIsNow)
{
    sim::SetTrayDrawsMenus(true);
    StartWithNotes(2);
    OpenTrayMenu();
    EXPECT_EQ(Commands(sim::OpenTrayIconMenu().value()).size(), Commands(LastMenu().items).size());
    HideNote(1);
    EXPECT_NE(Find(sim::OpenTrayIconMenu().value(), u"付箋紙 No 1 を表示する"), nullptr) << "not listed";

    ASSERT_TRUE(sim::ChooseFromTrayIconMenu(CMD_NEW_NOTE));
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 3);
    EXPECT_FALSE(sim::ChooseFromTrayIconMenu(CMD_SHOW_LOG)) << "a grey item was chosen";
    dialogBusy = 1;
    ASSERT_TRUE(sim::ChooseFromTrayIconMenu(CMD_NEW_NOTE));
    platform::PumpMessages();
    dialogBusy = 0;
    EXPECT_EQ(noteTable.count, 3) << "a choice was taken while a dialog was open";
}
