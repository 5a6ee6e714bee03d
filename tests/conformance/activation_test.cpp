// Activation and keyboard focus. What the program asks for (show normally,
// bring to the foreground, place without NoActivate, focus an inactive
// window) is answered later, from the loop, as a desktop answers it; losing
// them (hiding, clearing the focus) and focusing within the active window
// happen at once. Only a window on the screen can be activated or focused:
// the hidden main window, far off the screen, never is, yet it still gets
// its messages.
#include "recording_window.h"

namespace conformance {
namespace {


constexpr Rect kLeft{100, 100, 260, 140};
constexpr Rect kRight{300, 100, 460, 140};
constexpr Rect kBelow{100, 300, 260, 340};
constexpr Rect kOffScreen{20000, 20000, 20160, 20040};  // where the main window lives
constexpr std::uint32_t kPlaceOnly = swp::NoMove | swp::NoSize;

LParam Other(WindowHandle window) { return static_cast<LParam>(window); }

class ActivationTest : public PlatformTest {
protected:
    // Shows a window normally and waits until the desktop has activated it
    // and settled (a window manager may pass the focus back and forth
    // before it does).
    void ShowActive(WindowHandle window)
    {
        ShowAppWindow(window, sw::ShowNormal);
        ASSERT_TRUE(PumpUntil([window] { return GetForegroundAppWindow() == window; }))
            << "the desktop never activated window " << window;
        PumpAWhile();
        ASSERT_EQ(GetForegroundAppWindow(), window);
        Log().clear();
    }

    // The first activation message the window got since the log was cleared.
    static std::optional<Received> FirstActivation(WindowHandle window)
    {
        const std::vector<Received> seen = ReceivedBy(window, wm::Activate);
        if (seen.empty()) return std::nullopt;
        return seen.front();
    }

    bool ActiveAndFocused(WindowHandle window) const
    {
        return GetForegroundAppWindow() == window && GetKeyboardFocus() == window;
    }
};

TEST_F(ActivationTest, ShowingNormallyActivatesFromTheLoopTheOldWindowFirst)
{
    const WindowHandle a = MakeWindow(kLeft);
    const WindowHandle b = MakeWindow(kRight);
    ShowAppWindow(a, sw::ShowNormal);
    EXPECT_TRUE(ActivationMessages().empty()) << "activated before the loop ran";
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    ASSERT_TRUE(PumpUntil([&] { return ActiveAndFocused(a); }));
    EXPECT_EQ(ActivationMessages(), (std::vector<Received>{{a, wm::Activate, wa::Active, 0}, {a, wm::SetFocus, 0, 0}}));

    Log().clear();
    ShowAppWindow(b, sw::ShowNormal);
    EXPECT_TRUE(ActivationMessages().empty());
    ASSERT_TRUE(PumpUntil([&] { return ActiveAndFocused(b); }));
    // The default processing of the activation takes the keyboard focus.
    const std::vector<Received> expected = {
        {a, wm::Activate, wa::Inactive, Other(b)},
        {b, wm::Activate, wa::Active, Other(a)},
        {a, wm::KillFocus, 0, 0},
        {b, wm::SetFocus, 0, 0},
    };
    EXPECT_EQ(ActivationMessages(), expected);
}

// Restoring many notes shows each normally: the desktop must not raise and
// focus every one in turn. Whatever asked for them, only the activation
// asked for last is carried out, and the other windows never hear of one.
TEST_F(ActivationTest, OfTheActivationsAskedForBeforeTheLoopRunsOnlyTheLastComes)
{
    const WindowHandle unasked = MakeWindow(Rect{500, 300, 660, 340});
    ASSERT_TRUE(PlaceWindow(unasked, z::Top, Rect{}, kPlaceOnly | swp::NoActivate | swp::ShowWindow));
    PumpAWhile();
    if (GetForegroundAppWindow() == unasked)
        GTEST_SKIP() << "this desktop activates every window it shows, asked or not";
    Log().clear();
    const WindowHandle a = MakeWindow(kLeft);
    const WindowHandle b = MakeWindow(kRight);
    const WindowHandle c = MakeWindow(kBelow);
    ShowAppWindow(a, sw::ShowNormal);
    ShowAppWindow(b, sw::ShowNormal);
    ShowAppWindow(c, sw::ShowNormal);
    ASSERT_TRUE(PumpUntil([&] { return ActiveAndFocused(c); }));
    PumpAWhile();
    EXPECT_TRUE(ReceivedBy(a, wm::Activate).empty());
    EXPECT_TRUE(ReceivedBy(b, wm::Activate).empty());
    EXPECT_EQ(ActivationMessages(), (std::vector<Received>{{c, wm::Activate, wa::Active, 0}, {c, wm::SetFocus, 0, 0}}));

    Log().clear();
    ASSERT_TRUE(BringToForeground(a));
    ShowAppWindow(b, sw::ShowNormal);
    ASSERT_TRUE(BringToForeground(a));
    ASSERT_TRUE(PumpUntil([&] { return ActiveAndFocused(a); }));
    PumpAWhile();
    EXPECT_TRUE(ReceivedBy(b, wm::Activate).empty()) << "an activation asked for before the last one came";
    EXPECT_EQ(GetForegroundAppWindow(), a);
}

TEST_F(ActivationTest, ForegroundRaisesAtOnceAndActivatesAfterThePostedMessages)
{
    const WindowHandle a = MakeWindow(kLeft);
    const WindowHandle b = MakeWindow(kRight);
    ShowActive(a);
    ShowActive(b);
    ASSERT_TRUE(BringToForeground(a));
    EXPECT_LT(GetZRank(a), GetZRank(b)) << "not in front at once";
    PostWindowMessage(b, wm::User + 1, 0, 0);
    EXPECT_TRUE(ActivationMessages().empty());
    ASSERT_TRUE(PumpUntil([&] { return ActiveAndFocused(a); }));
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().front(), (Received{b, wm::User + 1, 0, 0})) << "the activation overtook a posted message";
    EXPECT_EQ(FirstActivation(a), (Received{a, wm::Activate, wa::Active, Other(b)}));
    EXPECT_FALSE(BringToForeground(a + 1000));
}

TEST_F(ActivationTest, PlacementActivatesUnlessAskedNotToOrSentToTheBottom)
{
    const WindowHandle a = MakeWindow(kLeft);
    const WindowHandle b = MakeWindow(kRight);
    ShowActive(b);
    ShowActive(a);
    for (const std::int32_t where : {z::Bottom, z::Top, z::Topmost}) {
        ASSERT_TRUE(PlaceWindow(b, where, Rect{}, kPlaceOnly | swp::NoActivate));
        PlaceWindow(b, z::Bottom, Rect{}, kPlaceOnly);
    }
    PumpAWhile();
    EXPECT_EQ(GetForegroundAppWindow(), a);
    EXPECT_TRUE(ActivationMessages().empty());

    ASSERT_TRUE(PlaceWindow(b, z::Top, Rect{}, kPlaceOnly));
    EXPECT_NE(GetForegroundAppWindow(), b) << "activated before the loop ran";
    EXPECT_TRUE(PumpUntil([&] { return ActiveAndFocused(b); }));
}

TEST_F(ActivationTest, HidingTheActiveWindowGivesUpActivationAndFocusAtOnce)
{
    const WindowHandle a = MakeWindow(kLeft);
    ShowActive(a);
    ASSERT_EQ(GetKeyboardFocus(), a);
    EXPECT_TRUE(ShowAppWindow(a, sw::Hide));
    EXPECT_EQ(ActivationMessages(),
              (std::vector<Received>{{a, wm::Activate, wa::Inactive, 0}, {a, wm::KillFocus, 0, 0}}));
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    EXPECT_EQ(GetKeyboardFocus(), 0u);
}

TEST_F(ActivationTest, AnActivationAskedForAHiddenWindowNeverComes)
{
    const WindowHandle a = MakeWindow(kLeft);
    const WindowHandle b = MakeWindow(kRight);
    ShowActive(a);
    ShowAppWindow(b, sw::ShowNormal);
    ShowAppWindow(b, sw::Hide);
    BringToForeground(b);
    PumpAWhile();
    // Whether the other window stays active is the window manager's choice.
    EXPECT_TRUE(ReceivedBy(b, wm::Activate).empty());
    EXPECT_NE(GetForegroundAppWindow(), b);
}

TEST_F(ActivationTest, FocusMovesAtOnceInTheActiveWindowAndWithTheActivationElsewhere)
{
    const WindowHandle a = MakeWindow(kLeft);
    const WindowHandle b = MakeWindow(kRight);
    ShowActive(b);
    ShowActive(a);

    EXPECT_EQ(SetKeyboardFocus(0), a);
    EXPECT_EQ(ActivationMessages(), (std::vector<Received>{{a, wm::KillFocus, 0, 0}}));
    EXPECT_EQ(GetKeyboardFocus(), 0u);
    EXPECT_EQ(GetForegroundAppWindow(), a) << "clearing the focus changed the activation";

    Log().clear();
    EXPECT_EQ(SetKeyboardFocus(a), 0u);
    EXPECT_EQ(ActivationMessages(), (std::vector<Received>{{a, wm::SetFocus, 0, 0}}));
    EXPECT_EQ(GetKeyboardFocus(), a);

    // Focusing a window that is not active activates it first.
    Log().clear();
    EXPECT_EQ(SetKeyboardFocus(b), a);
    EXPECT_TRUE(ActivationMessages().empty()) << "focused before the loop ran";
    EXPECT_EQ(GetKeyboardFocus(), a);
    ASSERT_TRUE(PumpUntil([&] { return ActiveAndFocused(b); }));
    EXPECT_EQ(FirstActivation(b), (Received{b, wm::Activate, wa::Active, Other(a)}));

    EXPECT_EQ(SetKeyboardFocus(a + 1000), 0u);
    EXPECT_EQ(GetKeyboardFocus(), b);
}

// A window draws the same whether it is active or not, so neither its
// activation nor its focus repaints it: the drag outline drawn over a note
// that a click has just activated must stay.
TEST_F(ActivationTest, ActivationAndFocusDoNotRepaint)
{
    const WindowHandle a = MakeWindow(kLeft);
    const WindowHandle b = MakeWindow(kRight);
    ShowActive(b);
    ShowActive(a);
    for (const WindowHandle w : {b, a, b}) {
        BringToForeground(w);
        ASSERT_TRUE(PumpUntil([&] { return ActiveAndFocused(w); }));
    }
    PumpAWhile();
    EXPECT_TRUE(ReceivedBy(a, wm::Paint).empty()) << "activation or focus repainted the window";
    EXPECT_TRUE(ReceivedBy(b, wm::Paint).empty()) << "activation or focus repainted the window";
}

TEST_F(ActivationTest, DestroyingTheActiveWindowLeavesNoneAndSendsItNothingMore)
{
    const WindowHandle a = MakeWindow(kLeft);
    ShowActive(a);
    ASSERT_TRUE(DestroyAppWindow(a));
    PumpAWhile();
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    EXPECT_EQ(GetKeyboardFocus(), 0u);
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().back().message, wm::Destroy) << "a message came after the end";
}

// The main window's place: shown, but off every screen, so never on the desktop.
TEST_F(ActivationTest, AWindowOffTheScreenIsNeverActiveNorFocusedYetGetsItsMessages)
{
    const WindowHandle note = MakeWindow(kBelow);
    const WindowHandle hidden = MakeWindow(kOffScreen);
    ShowActive(note);
    ShowAppWindow(hidden, sw::ShowNormal);
    BringToForeground(hidden);
    PlaceWindow(hidden, z::Top, Rect{}, kPlaceOnly);
    EXPECT_EQ(SetKeyboardFocus(hidden), 0u) << "an unmapped window took the keyboard";
    PumpAWhile();
    EXPECT_TRUE(ReceivedBy(hidden, wm::Activate).empty());
    EXPECT_TRUE(ReceivedBy(hidden, wm::SetFocus).empty());
    EXPECT_EQ(GetForegroundAppWindow(), note);
    EXPECT_EQ(GetKeyboardFocus(), note);
    EXPECT_TRUE(IsWindowShown(hidden)) << "the program's view of it is still shown";

    ASSERT_TRUE(PostWindowMessage(hidden, wm::User + 1, 1, 2));
    EXPECT_EQ(SendWindowMessage(hidden, wm::User + 2, 3, 4), 0);
    PumpMessages();
    EXPECT_EQ(PrivateMessages(),
              (std::vector<Received>{{hidden, wm::User + 2, 3, 4}, {hidden, wm::User + 1, 1, 2}}));
}

class Capture : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        a = MakeWindow(kLeft);
        b = MakeWindow(kRight);
        ShowAppWindow(a, sw::ShowNormal);
        ShowAppWindow(b, sw::ShowNormal);
        PumpMessages();
    }

    WindowHandle a = 0;  // shown, side by side
    WindowHandle b = 0;
};

TEST_F(Capture, OneWindowHoldsThePointerUntilReleasedOrDestroyed)
{
    EXPECT_EQ(GetPointerCapture(), 0u);
    CapturePointer(a);
    EXPECT_EQ(GetPointerCapture(), a);
    CapturePointer(a + 1000);
    EXPECT_EQ(GetPointerCapture(), a) << "a dead window took the capture";
    CapturePointer(b);
    EXPECT_EQ(GetPointerCapture(), b) << "the capture did not pass on";
    ReleasePointer();
    EXPECT_EQ(GetPointerCapture(), 0u);

    CapturePointer(a);
    ShowAppWindow(a, sw::Hide);
    EXPECT_EQ(GetPointerCapture(), a) << "hiding is no release";
    DestroyAppWindow(a);
    EXPECT_EQ(GetPointerCapture(), 0u);
}

// The mouse as the desktop delivers it reaches the window under it at its
// client point, with the held button and keys as flags; while a window
// holds the capture, it reaches that window instead, at the point in that
// window's client coordinates.
TEST_F(Capture, TheMouseReachesTheWindowUnderItOrTheOneHoldingTheCapture)
{
    const auto pointerMessages = [] {
        std::vector<Received> seen;
        for (const Received& r : Log())
            if (r.message >= wm::MouseMove && r.message <= wm::LeftButtonDoubleClick) seen.push_back(r);
        return seen;
    };
    const auto heard = [](WindowHandle w, std::uint32_t message, WParam flags, Point at) {
        return Received{w, message, flags, PackPoint(at.x, at.y)};
    };
    struct Step {
        WindowHandle window;
        MouseAction action;
        Point at;
        std::uint32_t modifiers;
        std::vector<Received> heard;
    };
    // The mouse moves to where it presses, as a hand on it does.
    const Step steps[] = {
        {a, MouseAction::Move, {10, 5}, 0, {heard(a, wm::MouseMove, 0, {10, 5})}},
        {a, MouseAction::Press, {10, 5}, 0, {heard(a, wm::LeftButtonDown, mk::LeftButton, {10, 5})}},
        {a, MouseAction::Move, {12, 6}, mod::Shift, {heard(a, wm::MouseMove, mk::LeftButton | mk::Shift, {12, 6})}},
        {a, MouseAction::Release, {12, 6}, mod::Control, {heard(a, wm::LeftButtonUp, mk::Control, {12, 6})}},
        {b, MouseAction::Move, {3, 4}, 0, {heard(b, wm::MouseMove, 0, {3, 4})}},
        {b, MouseAction::DoubleClick, {3, 4}, 0,
         {heard(b, wm::LeftButtonDown, mk::LeftButton, {3, 4}), heard(b, wm::LeftButtonUp, 0, {3, 4}),
          heard(b, wm::LeftButtonDoubleClick, mk::LeftButton, {3, 4})}},
        {b, MouseAction::Release, {3, 4}, 0, {heard(b, wm::LeftButtonUp, 0, {3, 4})}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(static_cast<int>(step.action));
        Log().clear();
        DeliverMouse(step.window, step.action, step.at, step.modifiers);
        EXPECT_EQ(pointerMessages(), step.heard);
    }

    CapturePointer(a);
    Log().clear();
    DeliverMouse(b, MouseAction::Move, Point{7, 8}, 0);
    const Rect inA = GetWindowBounds(a);
    const Rect inB = GetWindowBounds(b);
    const Point at{7 + inB.left - inA.left, 8 + inB.top - inA.top};
    EXPECT_EQ(pointerMessages(), (std::vector<Received>{heard(a, wm::MouseMove, 0, at)}));
    ReleasePointer();
}

}  // namespace
}  // namespace conformance
