// Display levels and visibility: the Tab walks over visible notes, raising
// all notes, hide-all and show-all with one save each, the level commands
// and their saving rules, levels kept on activation and across a restart.
#include "note/levels.h"
#include "note_fixture.h"

namespace {

using platform::Rect;
using platform::ZBand;
namespace vk = platform::vk;
namespace z = platform::z;

Rect Spot(int i) { return Rect{100 + 50 * i, 100, 260 + 50 * i, 140}; }

class NoteLevels : public NoteTest {
protected:
    // Notes 0..n-1; hidden ones get shown = 0, bottom ones zLevel 1 after start.
    void StartNotes(int n, std::vector<int> hidden = {}, std::vector<int> bottom = {})
    {
        std::vector<NoteRecord> notes;
        for (int i = 0; i < n; ++i) {
            NoteRecord note = ShownNote(Spot(i));
            if (std::find(hidden.begin(), hidden.end(), i) != hidden.end()) note.shown = 0;
            notes.push_back(note);
        }
        StartWith(notes);
        for (int i : bottom) {
            PostCommand(Window(i), CMD_LEVEL_BOTTOM, 0);
            platform::PumpMessages();
        }
        platform::PumpMessages();
        sleepsBefore_ = sim::Sleeps().size();
    }

    bool BroughtToFront() const { return sim::Sleeps().size() > sleepsBefore_; }

    std::size_t sleepsBefore_ = 0;
};

TEST_F(NoteLevels, TabWalksTheVisibleNotes)
{
    struct Case {
        const char* name;
        std::vector<int> hidden, bottom;
        int from;
        bool shift;
        int raised;  // -1: nothing happens
    };
    const Case cases[] = {
        {"Tab on the last wraps to 0", {}, {}, 2, false, 0},
        {"Shift+Tab on 0 wraps to the last", {}, {}, 0, true, 2},
        {"Tab skips a hidden note", {1}, {}, 0, false, 2},
        {"Shift+Tab skips a hidden note", {1}, {}, 2, true, 0},
        {"Tab does not skip a bottom-most note", {}, {1}, 0, false, 1},
        {"only one visible: Tab does nothing", {0, 2}, {}, 1, false, -1},
        {"only one visible: Shift+Tab does nothing", {0, 2}, {}, 1, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartNotes(3, c.hidden, c.bottom);
        // The keys reach the active note.
        platform::BringToForeground(Window(c.from));
        platform::PumpMessages();
        Hold(c.shift ? std::initializer_list<std::uint32_t>{vk::Shift} : std::initializer_list<std::uint32_t>{});
        sim::PressKey(Window(c.from), vk::Tab);
        Hold({});
        platform::PumpMessages();
        if (c.raised < 0) {
            EXPECT_FALSE(BroughtToFront());
            EXPECT_EQ(platform::GetForegroundAppWindow(), Window(c.from));
        } else {
            EXPECT_TRUE(BroughtToFront());
            EXPECT_EQ(sim::Sleeps().back(), 10);
            EXPECT_EQ(platform::GetForegroundAppWindow(), Window(c.raised));
            EXPECT_EQ(Note(c.raised).shown, 1);
        }
        for (int h : c.hidden) EXPECT_FALSE(platform::IsWindowShown(Window(h)));
        ShutdownApp();
        sim::Reset();
        ResetProgramState();
        sim::SetModulePath(platform::FromUtf8(folder_.string() + "/cevelmo"));
    }
}

TEST_F(NoteLevels, RaiseAllSkipsHiddenAndBottomMostNotes)
{
    StartNotes(4, {2}, {3});
    Hold({vk::Control});
    sim::PressKey(Window(1), 'T');
    Hold({});
    platform::PumpMessages();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(sim::DeliveredCount(Window(i), MSG_RAISE_NOTE), 1) << i;
    EXPECT_EQ(platform::GetForegroundAppWindow(), Window(1)) << "the last note that reacts ends in front";
    EXPECT_FALSE(platform::IsWindowShown(Window(2)));
    EXPECT_EQ(platform::GetZBand(Window(3)), ZBand::Bottom);
    const auto order = sim::WindowsInZOrder();
    EXPECT_EQ(order.back(), Window(3));
    EXPECT_LT(platform::GetZRank(Window(1)), platform::GetZRank(Window(0)));
}

TEST_F(NoteLevels, HideAllThenShowAllWriteTheDataFileOnceEach)
{
    StartNotes(3);
    PostCommand(mainWindow, CMD_HIDE_ALL, 1);
    platform::PumpMessages();
    EXPECT_EQ(SavesSinceStart(), 1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(platform::IsWindowShown(Window(i)));
        EXPECT_EQ(Note(i).shown, 0);
    }
    PostCommand(mainWindow, CMD_SHOW_ALL, 1);
    platform::PumpMessages();
    EXPECT_EQ(SavesSinceStart(), 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(platform::IsWindowShown(Window(i)));
        EXPECT_EQ(Note(i).shown, 1);
    }
}

TEST_F(NoteLevels, NoteCommandsSaveOnlyFromAMenu)
{
    struct Case {
        std::uint32_t command;
        bool shownAfter;
        std::int32_t zLevelAfter;
        ZBand band;
    };
    const Case cases[] = {
        {CMD_LEVEL_TOPMOST, true, z::Topmost, ZBand::Topmost},
        {CMD_LEVEL_NORMAL, true, z::NotTopmost, ZBand::Normal},
        {CMD_LEVEL_BOTTOM, true, z::Bottom, ZBand::Bottom},
        {CMD_HIDE_NOTE, false, z::NotTopmost, ZBand::Normal},
        {CMD_SHOW_NOTE, true, z::NotTopmost, ZBand::Normal},
    };
    StartNotes(1);
    for (const platform::LParam origin : {0, 1}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.command << " origin " << origin);
            PostCommand(Window(0), CMD_LEVEL_NORMAL, 0);
            PostCommand(Window(0), CMD_SHOW_NOTE, 0);
            platform::PumpMessages();
            const int saves = Saves();
            PostCommand(Window(0), c.command, origin);
            platform::PumpMessages();
            EXPECT_EQ(Saves(), saves + static_cast<int>(origin));
            EXPECT_EQ(platform::IsWindowShown(Window(0)), c.shownAfter);
            EXPECT_EQ(Note(0).shown, c.shownAfter ? 1 : 0);
            EXPECT_EQ(Note(0).zLevel, c.zLevelAfter);
            EXPECT_EQ(platform::GetZBand(Window(0)), c.band);
        }
    }
}

TEST_F(NoteLevels, ToggleFixedAlwaysSavesAndTakesTheGripAway)
{
    StartNotes(1);
    const std::uint32_t grip = ShadeColor(Note(0).backColor, 64);
    for (const std::int32_t expected : {1, 0}) {
        const int saves = Saves();
        PostCommand(Window(0), CMD_TOGGLE_FIXED, 0);
        platform::PumpMessages();
        EXPECT_EQ(Note(0).fixed, expected);
        EXPECT_EQ(Saves(), saves + 1);
        EXPECT_EQ(Pixel(0, 157, 37), expected ? Note(0).backColor : grip);
    }
}

TEST_F(NoteLevels, ActivationKeepsEachNoteAtItsLevel)
{
    StartNotes(2);
    PostCommand(Window(0), CMD_LEVEL_TOPMOST, 1);
    platform::PumpMessages();
    platform::BringToForeground(Window(1));
    platform::PumpMessages();
    EXPECT_EQ(platform::GetZBand(Window(1)), ZBand::Normal);
    EXPECT_LT(platform::GetZRank(Window(0)), platform::GetZRank(Window(1))) << "a normal note rose above a topmost one";
    platform::BringToForeground(Window(0));
    platform::PumpMessages();
    EXPECT_EQ(platform::GetZBand(Window(0)), ZBand::Topmost);

    PostCommand(Window(1), CMD_LEVEL_BOTTOM, 1);
    platform::PumpMessages();
    platform::BringToForeground(Window(1));
    platform::PumpMessages();
    EXPECT_EQ(sim::WindowsInZOrder().back(), Window(1)) << "an activated bottom-most note goes back down";
}

TEST_F(NoteLevels, BottomMostComesBackNormalAndTopmostStaysAfterARestart)
{
    StartNotes(2);
    PostCommand(Window(0), CMD_LEVEL_BOTTOM, 1);
    PostCommand(Window(1), CMD_LEVEL_TOPMOST, 1);
    platform::PumpMessages();
    Restart();
    EXPECT_EQ(Note(0).zLevel, z::NotTopmost);
    EXPECT_EQ(platform::GetZBand(Window(0)), ZBand::Normal);
    EXPECT_EQ(Note(1).zLevel, z::Topmost);
    EXPECT_EQ(platform::GetZBand(Window(1)), ZBand::Topmost);
}

}  // namespace
