// The sim backend's activation, focus, capture and repainting.
#include "sim_fixture.h"

namespace {

using namespace platform;

using SimActivation = SimTest;

TEST_F(SimActivation, ShowNormalActivatesAndDeactivatesThePrevious)
{
    const WindowHandle a = Make();
    const WindowHandle b = Make();
    ShowAppWindow(a, sw::ShowNormal);
    ShowAppWindow(b, sw::ShowNormal);
    const std::vector<SimMessage> expected = {
        {a, wm::Activate, wa::Active, 0},
        {a, wm::Activate, wa::Inactive, static_cast<LParam>(b)},
        {b, wm::Activate, wa::Active, static_cast<LParam>(a)},
    };
    EXPECT_EQ(Only({wm::Activate}), expected);
    EXPECT_EQ(GetForegroundAppWindow(), b);
    EXPECT_EQ(GetForegroundAppWindow(), b);
    // Activation left to the default gives the keyboard focus.
    EXPECT_EQ(GetKeyboardFocus(), b);
    EXPECT_EQ(Only({wm::KillFocus}), (std::vector<SimMessage>{{a, wm::KillFocus, 0, 0}}));
}

TEST_F(SimActivation, ShowWithoutActivationAndPlacementThatActivates)
{
    const WindowHandle a = Make();
    ShowAppWindow(a, sw::Show);
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    const WindowHandle hidden = Make();
    PlaceWindow(hidden, z::Top, {}, swp::NoMove | swp::NoSize);
    EXPECT_EQ(GetForegroundAppWindow(), 0u) << "a hidden window was activated";
    PlaceWindow(a, z::Top, {}, swp::NoMove | swp::NoSize | swp::NoActivate);
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    PlaceWindow(a, z::Top, {}, swp::NoMove | swp::NoSize);
    EXPECT_EQ(GetForegroundAppWindow(), a);
    PlaceWindow(hidden, z::Top, {}, swp::NoMove | swp::NoSize | swp::ShowWindow | swp::NoActivate);
    EXPECT_TRUE(IsWindowShown(hidden));
    EXPECT_EQ(GetForegroundAppWindow(), a);
}

TEST_F(SimActivation, HidingTheActiveWindowLeavesNoneActive)
{
    const WindowHandle a = Make();
    ShowAppWindow(a, sw::ShowNormal);
    Messages().clear();
    EXPECT_TRUE(ShowAppWindow(a, sw::Hide));
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    EXPECT_EQ(GetKeyboardFocus(), 0u);
    EXPECT_EQ(Only({wm::Activate, wm::KillFocus}),
              (std::vector<SimMessage>{{a, wm::Activate, wa::Inactive, 0}, {a, wm::KillFocus, 0, 0}}));
}

TEST_F(SimActivation, ForegroundDoesNotShowAndActivatesOnce)
{
    const WindowHandle a = Make();
    EXPECT_TRUE(BringToForeground(a));
    EXPECT_FALSE(IsWindowShown(a));
    EXPECT_EQ(GetForegroundAppWindow(), a);
    EXPECT_TRUE(BringToForeground(a));
    EXPECT_EQ(Only({wm::Activate}).size(), 1u) << "an active window was activated again";
    EXPECT_FALSE(BringToForeground(a + 100));
}

TEST_F(SimActivation, FocusMessagesNameTheOtherWindow)
{
    const WindowHandle a = Make();
    const WindowHandle b = Make();
    EXPECT_EQ(SetKeyboardFocus(a), 0u);
    EXPECT_EQ(SetKeyboardFocus(b), a);
    const std::vector<SimMessage> expected = {
        {a, wm::SetFocus, 0, 0}, {a, wm::KillFocus, b, 0}, {b, wm::SetFocus, a, 0}};
    EXPECT_EQ(Only({wm::SetFocus, wm::KillFocus}), expected);
    EXPECT_EQ(SetKeyboardFocus(a + 100), 0u);
    EXPECT_EQ(GetKeyboardFocus(), b);
}

TEST_F(SimActivation, DestroyingAWindowReleasesWhatItHeld)
{
    const WindowHandle a = Make();
    ShowAppWindow(a, sw::ShowNormal);
    CapturePointer(a);
    EXPECT_EQ(GetPointerCapture(), a);
    DestroyAppWindow(a);
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    EXPECT_EQ(GetForegroundAppWindow(), 0u);
    EXPECT_EQ(GetKeyboardFocus(), 0u);
    EXPECT_EQ(GetPointerCapture(), 0u);
}

using SimPaint = SimTest;

TEST_F(SimPaint, UpdateErasesThenPaintsOnlyWhatWasAskedFor)
{
    const WindowHandle w = Make();
    ShowAppWindow(w, sw::Show);
    UpdateAppWindow(w);
    auto painted = Only({wm::EraseBackground, wm::Paint});
    ASSERT_EQ(painted.size(), 2u) << "showing must ask for an erased repaint";
    EXPECT_EQ(painted[0].message, wm::EraseBackground);
    EXPECT_NE(painted[0].wParam, 0u);
    EXPECT_EQ(painted[1].message, wm::Paint);

    Messages().clear();
    UpdateAppWindow(w);
    EXPECT_TRUE(Messages().empty()) << "a clean window was repainted";
    InvalidateWindow(w, false);
    UpdateAppWindow(w);
    EXPECT_EQ(Only({wm::EraseBackground, wm::Paint}), (std::vector<SimMessage>{{w, wm::Paint, 0, 0}}));
}

TEST_F(SimPaint, RepaintAskedForWhilePaintingWaitsForIdle)
{
    const WindowHandle w = Make();
    ShowAppWindow(w, sw::Show);
    int paints = 0;
    Answer() = [&](WindowHandle window, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == wm::Paint && ++paints == 1) InvalidateWindow(window, false);
        return std::nullopt;
    };
    UpdateAppWindow(w);
    EXPECT_EQ(paints, 1);
    PumpMessages();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(sim::DeliveredCount(w, wm::Paint), 2);
}

TEST_F(SimPaint, AWindowThatAlwaysAsksForMoreDoesNotHangThePump)
{
    const WindowHandle w = Make();
    ShowAppWindow(w, sw::Show);
    Answer() = [](WindowHandle window, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == wm::Paint) InvalidateWindow(window, false);
        return std::nullopt;
    };
    PumpMessages();
    EXPECT_GT(sim::DeliveredCount(w, wm::Paint), 1);
}

}  // namespace
