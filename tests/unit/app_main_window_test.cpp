// The keys around the main window, the hotkey and the clicks on the tray icon.
#include "app/note_windows.h"
#include "app_fixture.h"
#include "note/levels.h"
#include "platform/sim/sim_menus.h"
#include "store/messages.h"

using platform::vk::Control;

class MainWindowTest : public AppTest {
protected:
    void StartWithNotes(int n)
    {
        ASSERT_TRUE(Start());
        for (int i = 0; i < n; ++i) ASSERT_EQ(CreateNoteWindows(1), 1);
        platform::PumpMessages();
    }

    int MenuRequests() const { return sim::DeliveredCount(mainWindow, MSG_SHOW_MAIN_MENU); }
    // The tray menu, once open, always ends by posting an empty message.
    int MenusShown() const { return sim::DeliveredCount(mainWindow, platform::wm::Null); }
};

// The main window never has the keyboard; the keys stay with the note the
// user was at, also across the tray menu, and it reaches the tray menu.
TEST_F(MainWindowTest, KeysStayWithTheActiveNoteAcrossTheTrayMenu)
{
    StartWithNotes(2);
    platform::BringToForeground(mainWindow);
    EXPECT_EQ(platform::SetKeyboardFocus(mainWindow), 0u) << "the main window took the keyboard";
    platform::BringToForeground(Note(1).window);
    platform::PumpMessages();
    ASSERT_EQ(platform::GetForegroundAppWindow(), Note(1).window);

    sim::ClickTrayIcon(platform::wm::LeftButtonUp);
    platform::PumpMessages();
    ASSERT_EQ(MenusShown(), 1);
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(1).window);

    sim::SetKeyHeld(Control, true);
    sim::PressKey(platform::GetForegroundAppWindow(), platform::vk::Tab);
    sim::SetKeyHeld(Control, false);
    platform::PumpMessages();
    EXPECT_EQ(MenuRequests(), 2);
    EXPECT_EQ(MenusShown(), 2);

    // P is the note's: its own menu opens, not the tray menu.
    sim::PressKey(platform::GetForegroundAppWindow(), 'P');
    platform::PumpMessages();
    EXPECT_EQ(MenuRequests(), 2);
    ASSERT_EQ(sim::MenusShown().size(), 3u);
    EXPECT_EQ(sim::MenusShown().back().owner, Note(1).window);
}

TEST_F(MainWindowTest, HotkeyRaisesTheLastVisibleNoteOrAsksForTheMenu)
{
    noteSettings.trayIcon = 1;
    noteSettings.hotkeyAlt = 1;
    noteSettings.hotkeyKey = {u'F', 0};
    StoreNotes({});
    ASSERT_TRUE(Start());
    ASSERT_TRUE(sim::PressHotkey(platform::mod::Alt, 'F'));
    platform::PumpMessages();
    EXPECT_EQ(MenuRequests(), 1);

    for (int i = 0; i < 3; ++i) ASSERT_EQ(CreateNoteWindows(1), 1);
    platform::ShowAppWindow(Note(2).window, platform::sw::Hide);
    platform::BringToForeground(mainWindow);
    ASSERT_TRUE(sim::PressHotkey(platform::mod::Alt, 'F'));
    platform::PumpMessages();
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(1).window);
    EXPECT_EQ(MenuRequests(), 1);

    // Another hotkey id at the main window does nothing.
    platform::PostWindowMessage(mainWindow, platform::wm::Hotkey, 7, 0);
    platform::PumpMessages();
    EXPECT_EQ(MenuRequests(), 1);
}

TEST_F(MainWindowTest, TrayClickOpensTheMenuAndCtrlClickRaisesEveryNote)
{
    StartWithNotes(3);
    sim::ClickTrayIcon(platform::wm::LeftButtonDown);  // only the release counts
    platform::PumpMessages();
    EXPECT_EQ(MenuRequests(), 0);
    sim::ClickTrayIcon(platform::wm::LeftButtonUp);
    platform::PumpMessages();
    EXPECT_EQ(MenuRequests(), 1);
    EXPECT_EQ(MenusShown(), 1);

    Note(1).zLevel = 1;  // bottom-most notes ignore the raise
    platform::ShowAppWindow(Note(2).window, platform::sw::Hide);
    sim::SetKeyHeld(Control, true);
    platform::BringToForeground(mainWindow);
    sim::ClickTrayIcon(platform::wm::LeftButtonUp);
    platform::PumpMessages();
    EXPECT_EQ(MenuRequests(), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sim::DeliveredCount(Note(i).window, MSG_RAISE_NOTE), 1);
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(0).window);
}

// A desktop without a tray: the program starts all the same, with a note to
// show for it, and the tray menu is reached from a note's Ctrl+Tab, or with
// the hotkey once every note is hidden.
TEST_F(MainWindowTest, WithoutATrayTheMenuIsReachedFromTheNotesAndTheHotkey)
{
    sim::SetTrayAvailable(false);
    noteSettings.trayIcon = 1;
    noteSettings.hotkeyCtrl = 1;
    noteSettings.hotkeyKey = {u'F', 0};
    StoreNotes({});
    StartWithNotes(0);
    ASSERT_EQ(noteTable.count, 1);
    EXPECT_TRUE(sim::TrayIcons().empty());
    EXPECT_TRUE(sim::MessageBoxes().empty()) << "a missing tray is no error";

    sim::SetKeyHeld(Control, true);
    sim::PressKey(Note(0).window, platform::vk::Tab);
    sim::SetKeyHeld(Control, false);
    platform::PumpMessages();
    EXPECT_EQ(MenusShown(), 1);

    PostCommand(Note(0).window, CMD_HIDE_NOTE, 1);
    platform::PumpMessages();
    ASSERT_FALSE(platform::IsWindowShown(Note(0).window));
    ASSERT_TRUE(sim::PressHotkey(platform::mod::Control, 'F'));
    platform::PumpMessages();
    EXPECT_EQ(MenusShown(), 2);
}

TEST_F(MainWindowTest, BusyFlagsKeepTheMenuFromOpening)
{
    StartWithNotes(1);
    for (std::int32_t* flag : {&dialogBusy, &menuBusy}) {
        *flag = 1;
        sim::ClickTrayIcon(platform::wm::LeftButtonUp);
        platform::PumpMessages();
        *flag = 0;
    }
    EXPECT_EQ(MenuRequests(), 2);
    EXPECT_EQ(MenusShown(), 0);
    EXPECT_EQ(menuBusy, 0);
}

TEST_F(MainWindowTest, ActivatedNotesKeepTheirLevel)
{
    StartWithNotes(2);
    Note(0).zLevel = -1;
    ApplyNoteLevel(Note(0).window, -1);
    platform::BringToForeground(Note(1).window);
    platform::PumpMessages();
    EXPECT_LT(platform::GetZRank(Note(0).window), platform::GetZRank(Note(1).window));

    // Activations asked for before the loop runs come to the last one, so
    // note 1 is made inactive first.
    Note(1).zLevel = 1;
    platform::BringToForeground(Note(0).window);
    platform::PumpMessages();
    platform::BringToForeground(Note(1).window);
    platform::PumpMessages();
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(1).window);
    EXPECT_EQ(platform::GetZBand(Note(1).window), platform::ZBand::Bottom);
}

TEST_F(MainWindowTest, CommandsForANoteThatReachTheMainWindowDoNoHarm)
{
    StartWithNotes(1);
    for (std::uint32_t id = 100; id <= 140; ++id)
        if (id != CMD_EXIT && id != CMD_NEW_NOTE && id != CMD_UNINSTALL) PostCommand(mainWindow, id, 0);
    PostCommand(mainWindow, CMD_SHOW_NOTE_BASE + 5, 1);  // beyond the notes
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_TRUE(platform::IsLiveWindow(mainWindow));
    EXPECT_TRUE(platform::IsWindowShown(Note(0).window));
}
