// Note windows: new notes, the table's growth, removal and restoring the
// notes of an earlier run.
#include "app/note_windows.h"
#include "app/tray.h"
#include "app_fixture.h"
#include "note/levels.h"
#include "store/messages.h"

using platform::Rect;

TEST_F(AppTest, FiveNewNotesStepDownTheScreenInPaletteColours)
{
    // 0 then 0 again: the second note would repeat its neighbour's colour.
    sim::SetRandomSequence({25, 1, 1, 24, 7});
    ASSERT_TRUE(Start());
    for (int i = 0; i < 5; ++i) ASSERT_EQ(CreateNoteWindows(1), 1);

    const Rect expected[] = {{40, 40, 200, 80}, {48, 44, 208, 84}, {56, 48, 216, 88},
                             {64, 52, 224, 92}, {72, 56, 232, 96}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(platform::GetWindowBounds(Note(i).window), expected[i]);
        EXPECT_EQ(Note(i).bounds, expected[i]);
        EXPECT_EQ(Note(i).zLevel, -2);
        EXPECT_EQ(Note(i).shown, 1);
        EXPECT_EQ(Note(i).textColor, 0u);
        EXPECT_FALSE(Note(i).text.has_value());
        EXPECT_EQ(FieldText(Note(i).fileName), u"");
        EXPECT_EQ(FieldText(Note(i).created), u"2024/01/02 03:04:05");
        EXPECT_TRUE(platform::IsWindowShown(Note(i).window));
        if (i > 0) {
            EXPECT_NE(Note(i).backColor, Note(i - 1).backColor);
        }
    }
    EXPECT_EQ(Note(0).backColor, 0x00D0FFFFu);  // the first note never draws a colour
    EXPECT_EQ(Note(1).backColor, notePalette[1]);  // 25 % 25 = 0 is the neighbour's: next entry
    EXPECT_EQ(Note(2).backColor, notePalette[2]);  // 1 repeats note 1's colour: next entry
    EXPECT_EQ(Note(3).backColor, notePalette[1]);  // 1 again, but the neighbour has entry 2
    EXPECT_EQ(Note(4).backColor, notePalette[24]);
    EXPECT_EQ(noteTable.capacity, 8);
}

TEST_F(AppTest, PaletteEntry24WrapsToEntry0WhenItRepeatsTheNeighbour)
{
    sim::SetRandomSequence({24, 24});
    ASSERT_TRUE(Start());
    ASSERT_EQ(CreateNoteWindows(1), 1);
    Note(0).backColor = notePalette[24];
    ASSERT_EQ(CreateNoteWindows(1), 1);
    EXPECT_EQ(Note(1).backColor, notePalette[0]);
}

TEST_F(AppTest, NewNoteFontIsTheRealisedDefaultFont)
{
    ASSERT_TRUE(Start());
    noteSettings.defaultFont = platform::FontDescription{};  // asks for "any" font
    ASSERT_EQ(CreateNoteWindows(1), 1);
    platform::FontDescription realised;
    ASSERT_TRUE(platform::DescribeFontObject(Note(0).fontHandle, realised));
    EXPECT_EQ(Note(0).font, realised);
    EXPECT_NE(Note(0).font.faceName[0], 0);
}

TEST_F(AppTest, GrowingPastFourSlotsKeepsTheFirstRecords)
{
    ASSERT_TRUE(Start());
    for (int i = 0; i < 4; ++i) ASSERT_EQ(CreateNoteWindows(1), 1);
    Note(2).fixed = 1;
    const std::vector<NoteRecord> before(noteTable.notes.begin(), noteTable.notes.begin() + 4);
    ASSERT_EQ(CreateNoteWindows(1), 1);
    EXPECT_EQ(noteTable.capacity, 8);
    ASSERT_EQ(noteTable.notes.size(), 8u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Note(i).window, before[i].window);
        EXPECT_EQ(Note(i).bounds, before[i].bounds);
        EXPECT_EQ(Note(i).backColor, before[i].backColor);
    }
    EXPECT_EQ(Note(2).fixed, 1);
    EXPECT_EQ(Note(5).window, 0u);
}

TEST_F(AppTest, ANewNoteWhoseWindowCannotBeMadeLeavesTheTableAndSaysSo)
{
    ASSERT_TRUE(Start());
    sim::FailNthWindowCreation(1);
    PostCommand(mainWindow, CMD_NEW_NOTE);
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 0);
    EXPECT_EQ(Note(0).window, 0u);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"リソースをを確保できません。");
}

TEST_F(AppTest, RemovingTheMiddleNoteShiftsTheLaterOneDown)
{
    ASSERT_TRUE(Start());
    for (int i = 0; i < 3; ++i) ASSERT_EQ(CreateNoteWindows(1), 1);
    const platform::WindowHandle first = Note(0).window, third = Note(2).window;
    SetFieldText(Note(2).fileName, u"VLM00002.txt");
    Note(2).text = u"third";

    ASSERT_TRUE(platform::DestroyAppWindow(Note(1).window));
    EXPECT_EQ(noteTable.count, 2);
    EXPECT_EQ(Note(0).window, first);
    EXPECT_EQ(Note(1).window, third);
    EXPECT_EQ(Note(1).text, std::optional<std::u16string>(u"third"));
    EXPECT_EQ(FieldText(Note(1).fileName), u"VLM00002.txt");

    // The vacated slot is cleared; only units after each terminator remain.
    const NoteRecord& vacated = Note(2);
    EXPECT_EQ(vacated.window, 0u);
    EXPECT_EQ(vacated.bounds, Rect{});
    EXPECT_EQ(vacated.backColor, 0u);
    EXPECT_EQ(vacated.fontHandle, 0u);
    EXPECT_FALSE(vacated.text.has_value());
    EXPECT_EQ(vacated.font, platform::FontDescription{});
    EXPECT_EQ(vacated.fileName[0], 0);
    EXPECT_EQ(vacated.fileName[1], u'L');
    EXPECT_EQ(vacated.created[0], 0);
    EXPECT_EQ(vacated.created[1], u'0');
    EXPECT_EQ(FindNoteIndex(third), 1);
    EXPECT_EQ(FindNoteIndex(mainWindow), 2);  // not a note: the count
}

TEST_F(AppTest, ClosingANoteSavesAndKeepsTheProgramReachable)
{
    ASSERT_TRUE(Start());
    ASSERT_EQ(CreateNoteWindows(1), 1);
    ASSERT_EQ(CreateNoteWindows(1), 1);
    noteSettings.trayIcon = 0;
    RemoveTrayIcon(mainWindow);

    platform::PostWindowMessage(Note(1).window, platform::wm::Close, 0, 0);
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_EQ(ReadBytes(DataFile()).size(), 172u + 256u);
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(0).window);
    EXPECT_TRUE(sim::TrayIcons().empty());  // one note is still shown

    platform::PostWindowMessage(Note(0).window, platform::wm::Close, 0, 0);
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 0);
    EXPECT_EQ(noteSettings.trayIcon, 1);
    EXPECT_EQ(sim::TrayIcons().size(), 1u);
    EXPECT_EQ(ReadBytes(DataFile()).size(), 172u);
}

TEST_F(AppTest, StoredNotesComeBackAtTheirPlaceAndLevel)
{
    StoreNotes({StoredNote({100, 100, 260, 140}, -1, 1),   // topmost
                StoredNote({300, 200, 400, 300}, 1, 1),    // bottom-most
                StoredNote({500, 100, 560, 150}, -2, 0),   // hidden
                StoredNote({2000, 2000, 2005, 2005}, -2, 1)});  // off the screen, tiny
    ASSERT_TRUE(Start());
    ASSERT_EQ(noteTable.count, 4);
    EXPECT_EQ(noteTable.pendingCount, 0);

    EXPECT_EQ(platform::GetWindowBounds(Note(0).window), (Rect{100, 100, 260, 140}));
    EXPECT_EQ(platform::GetZBand(Note(0).window), platform::ZBand::Topmost);
    EXPECT_EQ(Note(0).zLevel, -1);

    EXPECT_EQ(Note(1).zLevel, -2);  // only the topmost level survives a restart
    EXPECT_EQ(platform::GetZBand(Note(1).window), platform::ZBand::Normal);

    EXPECT_FALSE(platform::IsWindowShown(Note(2).window));
    EXPECT_NE(platform::GetForegroundAppWindow(), Note(2).window);
    EXPECT_TRUE(platform::IsWindowShown(Note(0).window));

    // Clamped into the work area (1024 x 740): 26 x 26, 26 pixels inside.
    EXPECT_EQ(Note(3).bounds, (Rect{998, 714, 1024, 740}));
    EXPECT_EQ(platform::GetWindowBounds(Note(3).window), Note(3).bounds);
    for (int i = 0; i < 4; ++i) EXPECT_NE(Note(i).fontHandle, 0u);
}

// A note is shown or hidden; a stored show command other than 0 (from a
// file not written by this program) comes back as shown, and is saved so.
TEST_F(AppTest, AnyStoredShowValueButZeroComesBackShown)
{
    StoreNotes({StoredNote({10, 10, 100, 100}, -2, 5), StoredNote({20, 20, 120, 120}, -2, -7),
                StoredNote({30, 30, 130, 130}, -2, 0)});
    ASSERT_TRUE(Start());
    ASSERT_EQ(noteTable.count, 3);
    EXPECT_EQ(Note(0).shown, 1);
    EXPECT_EQ(Note(1).shown, 1);
    EXPECT_EQ(Note(2).shown, 0);
    EXPECT_TRUE(platform::IsWindowShown(Note(0).window));
    EXPECT_TRUE(platform::IsWindowShown(Note(1).window));
    EXPECT_FALSE(platform::IsWindowShown(Note(2).window));
    EXPECT_EQ(CountShownNotes(), 2);
    ASSERT_NE(SaveDataFile(), 0);
    const std::string data = ReadBytes(DataFile());
    ASSERT_EQ(data.size(), layout::Record(3));
    EXPECT_EQ(data.substr(layout::Record(0) + layout::kShown, 4), std::string("\1\0\0\0", 4));
    EXPECT_EQ(data.substr(layout::Record(1) + layout::kShown, 4), std::string("\1\0\0\0", 4));
}

TEST_F(AppTest, RestoringStopsAtAWindowThatCannotBeMadeAndResumesLater)
{
    StoreNotes({StoredNote({10, 10, 100, 100}, -2, 1), StoredNote({20, 20, 120, 120}, -2, 1)});
    sim::FailNthWindowCreation(3);  // main window, note 0, then note 1 fails
    ASSERT_TRUE(Start());
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_EQ(noteTable.pendingCount, 2);
    ASSERT_EQ(CreateNoteWindows(1), 1);  // resumes restoring instead of a new note
    EXPECT_EQ(noteTable.count, 2);
    EXPECT_EQ(Note(1).bounds, (Rect{20, 20, 120, 120}));
}
