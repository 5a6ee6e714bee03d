// A desktop whose tray comes late, goes and comes back, or never comes: the
// icon follows the tray, the program shows a note when nothing else would
// show that it runs, and the guards that keep the last way back into the
// program count only an icon that is on the screen.
#include "menu_fixture.h"
#include "note/levels.h"

namespace {

using platform::vk::Control;

class TrayHostTest : public MenuTest {
protected:
    // The settings and notes an earlier run left, started on a desktop with
    // or without a tray.
    void StartStored(bool trayAvailable, std::int32_t trayIcon, const std::vector<NoteRecord>& notes)
    {
        noteSettings.trayIcon = trayIcon;
        StoreNotes(notes);
        savesBeforeStart_ = Saves();
        sim::SetTrayAvailable(trayAvailable);
        ASSERT_TRUE(Start());
        platform::PumpMessages();
    }

    void OpenTrayMenuFromANote(int i)
    {
        sim::SetKeyHeld(Control, true);
        sim::PressKey(Note(i).window, platform::vk::Tab);
        sim::SetKeyHeld(Control, false);
        platform::PumpMessages();
    }

    int savesBeforeStart_ = 0;
};

TEST_F(TrayHostTest, TheIconComesWithEveryTrayThatStarts)
{
    StartStored(false, 1, {});
    EXPECT_TRUE(sim::TrayIcons().empty());

    sim::SetTrayAvailable(true);  // its host starts a moment after the program
    platform::PumpMessages();
    ASSERT_EQ(sim::TrayIcons().size(), 1u);
    EXPECT_EQ(sim::TrayIcons()[0].owner, mainWindow);
    EXPECT_EQ(sim::TrayIcons()[0].tip, u"VELMO");

    sim::SetTrayAvailable(false);  // the host ends and starts again
    sim::SetTrayAvailable(true);
    platform::PumpMessages();
    EXPECT_EQ(sim::TrayIcons().size(), 1u);

    // Switched off, the icon stays off whatever trays come.
    Run(Note(0).window, CMD_TOGGLE_TRAY_ICON, 1);
    sim::SetTrayAvailable(false);
    sim::SetTrayAvailable(true);
    platform::PumpMessages();
    EXPECT_TRUE(sim::TrayIcons().empty());
    EXPECT_EQ(noteSettings.trayIcon, 0);
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(TrayHostTest, StartingWithNothingOnTheScreenShowsOneNewNote)
{
    const NoteRecord shown = StoredNote({100, 100, 260, 140}, -2, 1);
    const NoteRecord hidden = StoredNote({300, 100, 460, 140}, -2, 0);
    const struct {
        const char* what;
        bool tray;
        std::int32_t trayIcon;
        std::vector<NoteRecord> notes;
        std::int32_t count;  // notes after the start
    } cases[] = {
        {"no tray, no notes", false, 1, {}, 1},
        {"no tray, every note hidden", false, 1, {hidden, hidden}, 3},
        {"no tray, a note shown", false, 1, {hidden, shown}, 2},
        {"a tray and its icon", true, 1, {hidden}, 1},
        {"a tray, the icon switched off, every note hidden", true, 0, {hidden}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Afresh();
        StartStored(c.tray, c.trayIcon, c.notes);
        ASSERT_EQ(noteTable.count, c.count);
        if (c.count > static_cast<std::int32_t>(c.notes.size())) {
            const NoteRecord& added = Note(c.count - 1);
            EXPECT_TRUE(platform::IsWindowShown(added.window));
            EXPECT_EQ(platform::GetWindowBounds(added.window).left, (c.count - 1 + 5) * 8) << "a new note's place";
        }
        EXPECT_EQ(noteSettings.trayIcon, c.trayIcon) << "the setting is kept as stored";
        EXPECT_EQ(Saves(), savesBeforeStart_) << "the new note alone writes nothing";
    }
}

// The note menu's peel and hide items, and the tray menu's hide-all, are the
// user's ways to leave no note on the screen: without a tray icon shown they
// are greyed, whatever the setting says, and the setting is shown as stored.
TEST_F(TrayHostTest, WithoutATrayTheLastNoteCannotBeHiddenFromAMenu)
{
    StartStored(false, 1, {});
    ASSERT_EQ(noteTable.count, 1);
    Note(0).text.emplace(u"x");
    RightClick(0);
    EXPECT_TRUE(Item(u"はがす（ログ出力あり） (&L)").grey);
    EXPECT_TRUE(Item(u"はがす（ログ出力なし） (&N)").grey);
    EXPECT_TRUE(Item(u"非表示 (&H)").grey);
    EXPECT_TRUE(Item(u"TaskTray ICON (&I)").checked);
    OpenTrayMenuFromANote(0);
    EXPECT_TRUE(Item(u"すべての付箋紙を非表示 (&H)").grey);
    sim::QueueMenuAnswer(CMD_HIDE_ALL);
    OpenTrayMenuFromANote(0);
    EXPECT_TRUE(platform::IsWindowShown(Note(0).window)) << "a greyed hide-all was carried out";

    // With a second shown note the first may go; hide-all still may not.
    ASSERT_EQ(CreateNoteWindows(platform::sw::ShowNormal), 1);
    RightClick(0);
    EXPECT_FALSE(Item(u"非表示 (&H)").grey);
    OpenTrayMenuFromANote(0);
    EXPECT_TRUE(Item(u"すべての付箋紙を非表示 (&H)").grey);

    // The tray comes: everything may be hidden, the icon brings it back.
    sim::SetTrayAvailable(true);
    platform::PumpMessages();
    ASSERT_EQ(CountShownNotes(), 2);
    HideNote(1);
    RightClick(0);
    EXPECT_FALSE(Item(u"はがす（ログ出力なし） (&N)").grey);
    EXPECT_FALSE(Item(u"非表示 (&H)").grey);
    OpenTrayMenuFromANote(0);
    EXPECT_FALSE(Item(u"すべての付箋紙を非表示 (&H)").grey);
}

// Switched off by the user, the icon is no way back either.
TEST_F(TrayHostTest, HideAllIsGreyedWhileTheIconIsSwitchedOff)
{
    StartStored(true, 1, {});
    ASSERT_EQ(CreateNoteWindows(platform::sw::ShowNormal), 1);
    ASSERT_EQ(CreateNoteWindows(platform::sw::ShowNormal), 1);
    Run(Note(0).window, CMD_TOGGLE_TRAY_ICON, 1);
    OpenTrayMenuFromANote(0);
    EXPECT_TRUE(Item(u"すべての付箋紙を非表示 (&H)").grey);
    Run(Note(0).window, CMD_TOGGLE_TRAY_ICON, 1);
    OpenTrayMenuFromANote(0);
    EXPECT_FALSE(Item(u"すべての付箋紙を非表示 (&H)").grey);
}

}  // namespace
