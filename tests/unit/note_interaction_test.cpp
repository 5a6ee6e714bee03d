// The mouse and the keys on a note: click against drag, move against resize,
// the flip, the clamp on release, arrow keys, colour cycling, fixed notes,
// the double click, the flash, and the end of a drag or an edit when the note
// loses activation.
#include "note/interaction.h"
#include "note_fixture.h"
#include "platform/sim/sim_menus.h"
#include "store/app_state.h"

namespace {

using platform::Point;
using platform::Rect;
namespace vk = platform::vk;

constexpr Rect kStart{100, 100, 260, 140};  // 160 x 40

class NoteInteraction : public NoteTest {
protected:
    void SetUp() override
    {
        NoteTest::SetUp();
        StartWith({ShownNote(kStart), ShownNote(Rect{400, 400, 560, 440})});
    }

    // Press at one client point of note 0, move and release at another.
    void Drag(Point from, Point to)
    {
        sim::PointerDown(Window(0), from);
        sim::PointerMove(Window(0), to);
        sim::PointerUp(Window(0), to);
        platform::PumpMessages();
    }

    void Click(Point at = {50, 20})
    {
        sim::PointerDown(Window(0), at);
        sim::PointerUp(Window(0), at);
        platform::PumpMessages();
    }

    Rect Bounds() { return platform::GetWindowBounds(Window(0)); }
};

TEST_F(NoteInteraction, ClickMovesNothingAndSavesNothingThenADragMoves)
{
    Click();
    EXPECT_EQ(Bounds(), kStart);
    EXPECT_EQ(SavesSinceStart(), 0);

    Drag({50, 20}, {80, 30});
    EXPECT_EQ(Bounds(), (Rect{130, 110, 290, 150}));
    EXPECT_EQ(Note(0).bounds, (Rect{130, 110, 290, 150}));
    EXPECT_EQ(SavesSinceStart(), 1);
    EXPECT_FALSE(dragState.active);
    EXPECT_EQ(platform::GetPointerCapture(), 0u);
}

TEST_F(NoteInteraction, OutlineFollowsTheMouseAndIsRemovedOnRelease)
{
    sim::PointerDown(Window(0), {50, 20});
    EXPECT_EQ(platform::GetPointerCapture(), Window(0));
    EXPECT_EQ(sim::ScreenPixel(100, 100), 0x00FFFFFFu) << "outline at the start rectangle";
    sim::PointerMove(Window(0), {80, 30});
    EXPECT_EQ(sim::ScreenPixel(100, 100), 0u) << "old outline left behind";
    EXPECT_EQ(sim::ScreenPixel(130, 110), 0x00FFFFFFu);
    EXPECT_EQ(sim::ScreenPixel(289, 147), 0x00FFFFFFu) << "right edge of the moved outline";
    EXPECT_EQ(Bounds(), kStart) << "the window moves only on release";

    sim::SetKeyHeld(vk::Shift, true);
    sim::PointerMove(Window(0), {90, 40});
    EXPECT_EQ(sim::ScreenPixel(130, 110), 0x00FFFFFFu) << "with Shift the outline stays";
    sim::SetKeyHeld(vk::Shift, false);

    sim::PointerUp(Window(0), {80, 30});
    EXPECT_EQ(sim::ScreenPixel(130, 110), 0u);
    EXPECT_EQ(sim::ScreenPixel(289, 147), 0u);
}

struct DragCase {
    const char* name;
    Point from, to;  // client points of the note at kStart
    Rect expected;
};

TEST_F(NoteInteraction, CornerResizesTheRestMovesAndTheReleaseIsClamped)
{
    const DragCase cases[] = {
        {"bottom-right pixel resizes", {159, 39}, {179, 49}, {100, 100, 280, 150}},
        {"ninth column and row resize", {151, 31}, {171, 41}, {100, 100, 280, 150}},
        {"tenth column from the right moves", {150, 39}, {170, 49}, {120, 110, 280, 150}},
        {"tenth row from the bottom moves", {159, 30}, {179, 40}, {120, 110, 280, 150}},
        {"past the top-left corner flips", {158, 38}, {-50, -30}, {52, 72, 100, 100}},
        {"10 x 10 becomes 26 x 26", {158, 38}, {8, 10}, {100, 100, 126, 126}},
        {"5 pixels left on screen at the right", {50, 20}, {969, 20}, {998, 100, 1158, 140}},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform::MoveAppWindow(Window(0), kStart, true);
        const int saves = Saves();
        Drag(c.from, c.to);
        EXPECT_EQ(Bounds(), c.expected);
        EXPECT_EQ(Note(0).bounds, c.expected);
        EXPECT_EQ(Saves(), saves + 1);
    }
}

TEST_F(NoteInteraction, ArrowKeysNudgeAndShiftArrowsResizeWithoutSaving)
{
    struct Case {
        const char* name;
        std::uint32_t key;
        std::initializer_list<std::uint32_t> held;
        Rect before, after;
    };
    const Rect tall{100, 100, 260, 126};
    const Case cases[] = {
        {"left", vk::Left, {}, kStart, {99, 100, 259, 140}},
        {"up", vk::Up, {}, kStart, {100, 99, 260, 139}},
        {"right", vk::Right, {}, kStart, {101, 100, 261, 140}},
        {"down", vk::Down, {}, kStart, {100, 101, 260, 141}},
        {"ctrl changes nothing", vk::Left, {vk::Control}, kStart, {99, 100, 259, 140}},
        {"shift left narrows", vk::Left, {vk::Shift}, kStart, {100, 100, 259, 140}},
        {"shift right widens", vk::Right, {vk::Shift}, kStart, {100, 100, 261, 140}},
        {"shift down at 26 gives 27", vk::Down, {vk::Shift}, tall, {100, 100, 260, 127}},
        {"shift up at 26 stays 26", vk::Up, {vk::Shift}, tall, tall},
        {"left at the work area's edge stops", vk::Left, {}, {-134, 100, 26, 140}, {-134, 100, 26, 140}},
        {"alt left is no nudge", vk::Left, {vk::Alt}, kStart, kStart},
        {"alt shift right is no resize", vk::Right, {vk::Alt, vk::Shift}, kStart, kStart},
        {"ctrl alt left nudges", vk::Left, {vk::Control, vk::Alt}, kStart, {99, 100, 259, 140}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::MoveAppWindow(Window(0), c.before, true);
        Hold(c.held);
        const int saves = Saves();
        sim::PressKey(Window(0), c.key);
        EXPECT_EQ(Bounds(), c.after);
        EXPECT_EQ(Note(0).bounds, c.after);
        EXPECT_EQ(Saves(), saves);
    }
}

TEST_F(NoteInteraction, ColourCyclingByClickAndKeyRepaintsAndSaves)
{
    struct Case {
        const char* name;
        std::uint32_t before;
        bool byKey;
        bool backward;
        std::uint32_t after;
    };
    const Case cases[] = {
        {"click forward", notePalette[3], false, false, notePalette[4]},
        {"click off-palette forward", 0x00123456, false, false, notePalette[0]},
        {"click off-palette backward", 0x00123456, false, true, notePalette[0]},
        {"click 24 forward wraps", notePalette[24], false, false, notePalette[0]},
        {"click 0 backward wraps", notePalette[0], false, true, notePalette[24]},
        {"key forward", notePalette[0], true, false, notePalette[1]},
        {"key backward", notePalette[0], true, true, notePalette[24]},
        {"key off-palette backward", 0x00123456, true, true, notePalette[0]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Note(0).backColor = c.before;
        const int saves = Saves();
        if (c.backward)
            Hold({vk::Shift, vk::Control});
        else
            Hold({vk::Shift});
        if (c.byKey)
            sim::PressKey(Window(0), 'B');
        else
            Click();
        EXPECT_EQ(Note(0).backColor, c.after);
        EXPECT_EQ(Pixel(0, 50, 20), c.after) << "not repainted";
        EXPECT_EQ(Saves(), saves + 1);
        EXPECT_EQ(Bounds(), kStart) << "a click with Shift must not drag";
    }
    Hold({});
    Note(0).backColor = notePalette[2];
    sim::PressKey(Window(0), 'B');
    Hold({vk::Control});
    sim::PressKey(Window(0), 'B');
    EXPECT_EQ(Note(0).backColor, notePalette[2]) << "B without Shift does nothing";
}

TEST_F(NoteInteraction, FixedNoteIgnoresDragsAndArrowsButCyclesAndFlashes)
{
    Note(0).fixed = 1;
    Drag({50, 20}, {80, 30});
    EXPECT_EQ(Bounds(), kStart);
    EXPECT_EQ(SavesSinceStart(), 0);
    sim::PressKey(Window(0), vk::Right);
    EXPECT_EQ(Bounds(), kStart);

    Note(0).backColor = notePalette[0];
    Hold({vk::Shift});
    Click();
    EXPECT_EQ(Note(0).backColor, notePalette[1]);

    Hold({});
    sim::PressKey(Window(0), 'P');
    platform::PumpMessages();
    EXPECT_EQ(sim::MenusShown().size(), 1u);
}

TEST_F(NoteInteraction, AltClickOpensTheMenuAtTheReleasePoint)
{
    Hold({vk::Alt});
    Click({33, 17});
    ASSERT_EQ(sim::MenusShown().size(), 1u);
    EXPECT_EQ(sim::MenusShown()[0].owner, Window(0));
    EXPECT_EQ(sim::MenusShown()[0].at, (Point{kStart.left + 33, kStart.top + 17}));
    EXPECT_EQ(SavesSinceStart(), 0);
}

// A key stroke brings its key-down and its character, so each case also
// proves that the note flashes once, not once per message.
TEST_F(NoteInteraction, FlashShowsTheLightenedFillThenAsksForTheMenuAtTheCentre)
{
    struct Case {
        const char* name;
        std::initializer_list<std::uint32_t> held;
        std::uint32_t key;  // 0: a bare wm::SysChar 'p' instead of a stroke
        bool opens;
    };
    const Case cases[] = {
        {"P", {}, 'P', true},
        {"Shift+P", {vk::Shift}, 'P', true},
        {"Alt+P", {vk::Alt}, 'P', true},
        {"Alt+Shift+P", {vk::Alt, vk::Shift}, 'P', true},
        {"Alt+Q", {vk::Alt}, 'Q', false},
        {"system p without Alt", {}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Hold(c.held);
        const std::size_t menus = sim::MenusShown().size();
        const int paints = sim::DeliveredCount(Window(0), platform::wm::Paint);
        const std::size_t sleeps = sim::Sleeps().size();
        if (c.key == 0)
            platform::SendWindowMessage(Window(0), platform::wm::SysChar, u'p', 1);
        else
            sim::PressKey(Window(0), c.key);
        EXPECT_FALSE(flashing);
        EXPECT_EQ(sim::MenusShown().size(), menus) << "the menu must open after the flash";
        platform::PumpMessages();
        EXPECT_EQ(sim::MenusShown().size(), menus + (c.opens ? 1 : 0));
        if (!c.opens) continue;
        EXPECT_EQ(sim::MenusShown().back().at, (Point{kStart.left + 80, kStart.top + 20}));
        ASSERT_EQ(sim::Sleeps().size(), sleeps + 1);
        EXPECT_EQ(sim::Sleeps().back(), 100);
        EXPECT_GE(sim::DeliveredCount(Window(0), platform::wm::Paint), paints + 2) << "flash and back";
        EXPECT_EQ(Pixel(0, 50, 20), Note(0).backColor) << "the lightened fill stayed";
    }
}

TEST_F(NoteInteraction, DoubleClickStartsEditingByTheGestureSetting)
{
    struct Case {
        std::int32_t editGesture;
        std::initializer_list<std::uint32_t> held;
        bool edits;
    };
    const Case cases[] = {
        {0, {}, true},  {0, {vk::Control}, true},  {0, {vk::Shift}, false}, {0, {vk::Control, vk::Shift}, false},
        {1, {}, false}, {1, {vk::Control}, true},  {1, {vk::Shift}, false}, {1, {vk::Control, vk::Shift}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "editGesture " << c.editGesture << ", keys " << c.held.size());
        noteSettings.editGesture = c.editGesture;
        Hold(c.held);
        const int commands = sim::DeliveredCount(Window(0), platform::wm::Command);
        sim::DoubleClick(Window(0), {50, 20});
        sim::PointerUp(Window(0), {50, 20});
        Hold({});
        platform::PumpMessages();
        EXPECT_EQ(sim::DeliveredCount(Window(0), platform::wm::Command), commands + (c.edits ? 1 : 0));
        if (c.edits) {
            EXPECT_EQ(sim::LastDelivered(Window(0), platform::wm::Command),
                      (std::pair<platform::WParam, platform::LParam>{CMD_EDIT_DIRECT, 0}));
        }
        // The editor now lies over the note; the next double click is for
        // the note itself.
        platform::SendWindowMessage(Window(0), MSG_END_EDIT, 0, 0);
    }
}

TEST_F(NoteInteraction, DeactivationEndsTheEditUnlessAModifierIsHeld)
{
    struct Case {
        std::initializer_list<std::uint32_t> held;
        bool endsEdit;
    };
    const Case cases[] = {{{}, true}, {{vk::Control}, false}, {{vk::Shift}, false}, {{vk::Alt}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.held.size());
        platform::BringToForeground(Window(0));
        platform::PumpMessages();
        const int ends = sim::DeliveredCount(Window(0), MSG_END_EDIT);
        // The keys are held while the activation arrives, as when the user
        // clicks another note with a modifier held.
        Hold(c.held);
        platform::BringToForeground(Window(1));
        platform::PumpMessages();
        Hold({});
        platform::PumpMessages();
        EXPECT_EQ(sim::DeliveredCount(Window(0), MSG_END_EDIT), ends + (c.endsEdit ? 1 : 0));
    }
}

TEST_F(NoteInteraction, DeactivationCancelsADrag)
{
    sim::PointerDown(Window(0), {50, 20});
    sim::PointerMove(Window(0), {80, 30});
    ASSERT_EQ(sim::ScreenPixel(130, 110), 0x00FFFFFFu);
    const int arrows = sim::ArrowCursorSets();
    platform::BringToForeground(Window(1));
    platform::PumpMessages();
    EXPECT_FALSE(dragState.active);
    EXPECT_EQ(platform::GetPointerCapture(), 0u);
    EXPECT_EQ(sim::ScreenPixel(130, 110), 0u) << "outline left on the screen";
    EXPECT_EQ(sim::ArrowCursorSets(), arrows + 1);
    sim::PointerUp(Window(0), {80, 30});
    platform::PumpMessages();
    EXPECT_EQ(Bounds(), kStart);
    EXPECT_EQ(SavesSinceStart(), 0);
}

TEST_F(NoteInteraction, PressWhileEditingEndsTheEditInsteadOfDragging)
{
    Note(0).editWindow = mainWindow;  // any open editor
    const int ends = sim::DeliveredCount(Window(0), MSG_END_EDIT);
    sim::PointerDown(Window(0), {50, 20});
    EXPECT_FALSE(dragState.active);
    Note(0).editWindow = 0;
    sim::PointerUp(Window(0), {80, 30});
    platform::PumpMessages();
    EXPECT_EQ(sim::DeliveredCount(Window(0), MSG_END_EDIT), ends + 1);
    EXPECT_EQ(Bounds(), kStart);
}

TEST_F(NoteInteraction, ControlTabAsksForTheTrayMenu)
{
    Hold({vk::Control});
    sim::PressKey(Window(0), vk::Tab);
    Hold({});
    platform::PumpMessages();
    EXPECT_EQ(sim::DeliveredCount(mainWindow, MSG_SHOW_MAIN_MENU), 1);
}

TEST(ResizeCorner, NineByNineInsideTheRightAndBottomEdges)
{
    const Rect w{100, 100, 260, 140};
    struct Case {
        Point p;
        bool hit;
    };
    const Case cases[] = {{{260, 140}, true}, {{251, 131}, true}, {{250, 139}, false},
                          {{259, 130}, false}, {{261, 139}, false}, {{259, 141}, false}};
    for (const Case& c : cases) EXPECT_EQ(HitResizeCorner(c.p, w), c.hit) << c.p.x << "," << c.p.y;
}

}  // namespace
