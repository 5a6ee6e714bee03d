// The sim backend's repainting.
#include "sim_fixture.h"

namespace {

using namespace platform;

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
