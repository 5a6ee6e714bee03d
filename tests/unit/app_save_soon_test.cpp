// Changes that have no save of their own (a new note, arrow-key nudges, the
// desktop moving a note) reach the data file within a second, a burst of
// them as one write, and at the latest when the program ends; an uninstall
// ends without writing.
#include <utility>
#include <vector>

#include "menu_fixture.h"
#include "platform/testing/inspect.h"
#include "platform/timer.h"
#include "store/record_codec.h"

namespace {

using platform::Rect;

class SaveSoonTest : public MenuTest {
protected:
    // The first stored record's rectangle, or nothing when there is none.
    std::optional<Rect> StoredBounds()
    {
        const std::string data = ReadBytes(DataFile());
        if (data.size() < layout::Record(1)) return std::nullopt;
        std::array<std::uint8_t, kRecordBytes> image{};
        for (std::size_t i = 0; i < kRecordBytes; ++i) image[i] = static_cast<std::uint8_t>(data[layout::Record(0) + i]);
        return DecodeRecord(image).bounds;
    }

    std::int32_t StoredCount()
    {
        const std::string data = ReadBytes(DataFile());
        if (data.size() < layout::kRecords) return -1;
        std::int32_t count = 0;
        for (int i = 0; i < 4; ++i) count |= static_cast<std::uint8_t>(data[layout::kCount + i]) << (8 * i);
        return count;
    }

    void Press(std::uint32_t key, bool shift = false)
    {
        sim::SetKeyHeld(platform::vk::Shift, shift);
        sim::PressKey(Note(0).window, key);
        sim::SetKeyHeld(platform::vk::Shift, false);
    }
};

TEST_F(SaveSoonTest, ANewNoteIsWrittenOnceTheQuietTimeHasPassed)
{
    ASSERT_TRUE(Start());
    Run(mainWindow, CMD_NEW_NOTE, 1);
    ASSERT_EQ(noteTable.count, 1);
    EXPECT_EQ(Saves(), 0) << "nothing is written while the user may go on";
    platform::PumpMessagesFor(kSaveQuietMs - 1);
    EXPECT_EQ(Saves(), 0);
    platform::PumpMessagesFor(1);
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_EQ(StoredBounds(), Note(0).bounds);
}

TEST_F(SaveSoonTest, ASecondStartsNotesAreWrittenTogether)
{
    ASSERT_TRUE(Start());
    for (int i = 0; i < 3; ++i) {
        // A second start of the program hands its new note to this one.
        EXPECT_EQ(sim::HandOffFromElsewhere(), platform::HandOff::Queued);
        platform::PumpMessagesFor(100);
    }
    ASSERT_EQ(noteTable.count, 3);
    platform::PumpMessagesFor(1000);
    EXPECT_EQ(Saves(), 1) << "three notes within a short time make one write";
    EXPECT_EQ(StoredCount(), 3);
}

TEST_F(SaveSoonTest, AHeldArrowKeyIsWrittenOnceWhenItIsLetGo)
{
    StartWithNotes(1);
    const Rect start = Note(0).bounds;
    // Auto-repeat at about 33 keys a second for half a second.
    for (int i = 0; i < 15; ++i) {
        Press(platform::vk::Right);
        platform::PumpMessagesFor(33);
    }
    EXPECT_EQ(Saves(), 0) << "a save came in the middle of a short burst";
    platform::PumpMessagesFor(kSaveQuietMs);
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(StoredBounds(), (Rect{start.left + 15, start.top, start.right + 15, start.bottom}));
    platform::PumpMessagesFor(2000);
    EXPECT_EQ(Saves(), 1) << "nothing more to write";
}

TEST_F(SaveSoonTest, AKeyHeldForLongIsOnDiskWithinASecondAllAlong)
{
    StartWithNotes(1);
    // When each rectangle was the note's; the file must never be more than
    // a second behind.
    std::vector<std::pair<std::int64_t, Rect>> history{{sim::Now(), Note(0).bounds}};
    for (int i = 0; i < 120; ++i) {
        Press(i % 2 == 0 ? platform::vk::Right : platform::vk::Down, i % 4 == 3);
        history.push_back({sim::Now(), Note(0).bounds});
        platform::PumpMessagesFor(25);
        const std::optional<Rect> stored = StoredBounds();
        if (sim::Now() - history.front().first < 1000) continue;
        ASSERT_TRUE(stored.has_value()) << "nothing written " << sim::Now() << " ms into the burst";
        std::int64_t storedSince = -1;
        for (const auto& [when, bounds] : history)
            if (bounds == *stored) storedSince = when;
        ASSERT_GE(storedSince, 0) << "the file holds a rectangle the note never had";
        // The rectangle on disk was replaced less than a second ago.
        std::int64_t replacedAt = sim::Now();
        for (const auto& [when, bounds] : history)
            if (when > storedSince) {
                replacedAt = when;
                break;
            }
        EXPECT_LE(sim::Now() - replacedAt, 1000) << "at " << sim::Now() << " ms";
    }
    EXPECT_LE(Saves(), 4) << "3 seconds of key repeat wrote once per change";
    EXPECT_GE(Saves(), 3);
}

TEST_F(SaveSoonTest, TheDesktopMovingANoteIsWrittenToo)
{
    StartWithNotes(1);
    const Rect moved{300, 200, 460, 240};
    platform::MoveAppWindow(Note(0).window, moved, true);
    EXPECT_EQ(Note(0).bounds, moved);
    platform::PumpMessagesFor(1000);
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(StoredBounds(), moved);
    // Moving to where it is already changes nothing and writes nothing.
    platform::MoveAppWindow(Note(0).window, moved, true);
    platform::PumpMessagesFor(1000);
    EXPECT_EQ(Saves(), 1);
}

TEST_F(SaveSoonTest, AnyOtherSaveTakesTheWaitingChangeAlong)
{
    StartWithNotes(1);
    Press(platform::vk::Left);
    Run(Note(0).window, CMD_SAVE_DATA, 0);
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(StoredBounds(), Note(0).bounds);
    platform::PumpMessagesFor(2000);
    EXPECT_EQ(Saves(), 1) << "the timers still wrote after the change was on disk";
}

TEST_F(SaveSoonTest, TheEndOfTheSessionWritesAWaitingChange)
{
    StartWithNotes(1);
    Press(platform::vk::Down, true);
    const Rect resized = Note(0).bounds;
    ASSERT_TRUE(sim::EndSession());
    ShutdownApp();
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(StoredBounds(), resized);
    const std::string data = ReadBytes(DataFile());
    ASSERT_GE(data.size(), 24u);
    EXPECT_EQ(data[20], 1) << "the tray icon setting must be stored as the user had it";
}

TEST_F(SaveSoonTest, NothingWaitingMeansNothingWrittenAtTheEnd)
{
    StartWithNotes(1);
    platform::PumpMessagesFor(1000);
    ASSERT_TRUE(sim::EndSession());
    ShutdownApp();
    EXPECT_EQ(Saves(), 0);
}

// The uninstall command relies on this once it has removed the program.
TEST_F(SaveSoonTest, OnceSavesAreStoppedNothingWritesTheFile)
{
    StartWithNotes(1);
    Press(platform::vk::Right);
    StopDataFileSaves();
    platform::PumpMessagesFor(2000);
    EXPECT_EQ(SaveDataFile(), 0);
    Press(platform::vk::Right);
    ASSERT_TRUE(sim::EndSession());
    ShutdownApp();
    EXPECT_EQ(Saves(), 0);
    EXPECT_FALSE(std::filesystem::exists(DataFile()));
}

TEST_F(SaveSoonTest, OtherTimersOfTheMainWindowWriteNothing)
{
    StartWithNotes(1);
    ASSERT_TRUE(platform::SetWindowTimer(mainWindow, 1, 10));
    platform::PumpMessagesFor(100);
    EXPECT_EQ(Saves(), 0);
}

}  // namespace
