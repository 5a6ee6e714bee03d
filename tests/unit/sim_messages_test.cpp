// The sim backend's loop: the quit message, a queue that runs dry, thread
// messages, the delivery record and key state.
#include "sim_fixture.h"

namespace {

using namespace platform;

constexpr std::uint32_t kWork = wm::User + 1;

using SimLoop = SimTest;

TEST_F(SimLoop, QuitEndsTheLoopAfterThePostedMessagesBeforeRepaints)
{
    const WindowHandle w = Make();
    ShowAppWindow(w, sw::Show);
    Answer() = [w](WindowHandle, std::uint32_t m, WParam wp, LParam) -> std::optional<LResult> {
        if (m == kWork && wp == 1) {
            PostQuit(3);
            PostWindowMessage(w, kWork, 2, 0);
        }
        return std::nullopt;
    };
    PostWindowMessage(w, kWork, 1, 0);
    EXPECT_FALSE(sim::QuitPosted());
    EXPECT_EQ(RunMessageLoop(), 3);
    EXPECT_TRUE(sim::QuitPosted());
    EXPECT_EQ(sim::QuitCode(), 3);
    EXPECT_EQ(sim::DeliveredCount(w, kWork), 2);
    EXPECT_EQ(sim::DeliveredCount(w, wm::Paint), 0);
    // The quit was taken by the loop; another loop finds the queue dry.
    EXPECT_EQ(RunMessageLoop(), -1);
    EXPECT_EQ(sim::DeliveredCount(w, wm::Paint), 1);
}

TEST_F(SimLoop, LoopWithoutQuitReturnsMinusOne)
{
    const WindowHandle w = Make();
    PostWindowMessage(w, kWork, 0, 0);
    EXPECT_EQ(RunMessageLoop(), -1);
    EXPECT_EQ(sim::DeliveredCount(w, kWork), 1);
    EXPECT_FALSE(sim::QuitPosted());
}

TEST_F(SimLoop, DeliveriesCountSentAndPostedMessages)
{
    const WindowHandle w = Make();
    SendWindowMessage(w, kWork, 0, 0);
    PostWindowMessage(w, kWork, 0, 0);
    EXPECT_EQ(sim::DeliveredCount(w, kWork), 1);
    PumpMessages();
    EXPECT_EQ(sim::DeliveredCount(w, kWork), 2);
    EXPECT_EQ(sim::DeliveredCount(w, wm::Create), 1);
    EXPECT_EQ(sim::DeliveredCount(w + 1, kWork), 0);
}

TEST_F(SimLoop, KeyStateIsWhatTheTestHoldsWhenTheKeyArrives)
{
    const WindowHandle w = Make();
    bool shiftSeen = false;
    Answer() = [&](WindowHandle, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == wm::KeyDown) shiftSeen = IsKeyHeld(vk::Shift);
        return std::nullopt;
    };
    sim::SetKeyHeld(vk::Shift, true);
    sim::PressKey(w, vk::Tab);
    EXPECT_TRUE(shiftSeen);
    EXPECT_FALSE(IsKeyHeld(vk::Control));
    sim::SetKeyHeld(vk::Shift, false);
    sim::PressKey(w, vk::Tab);
    EXPECT_FALSE(shiftSeen);
    const auto keys = Only({wm::KeyDown});
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].wParam, vk::Tab);
}

TEST_F(SimLoop, ResetForgetsQueueKeysAndRecords)
{
    const WindowHandle w = Make();
    PostWindowMessage(w, kWork, 0, 0);
    PostQuit(1);
    sim::SetKeyHeld(vk::Alt, true);
    sim::Reset();
    EXPECT_FALSE(IsLiveWindow(w));
    EXPECT_FALSE(sim::QuitPosted());
    EXPECT_FALSE(IsKeyHeld(vk::Alt));
    EXPECT_EQ(sim::DeliveredCount(w, wm::Create), 0);
    EXPECT_EQ(RunMessageLoop(), -1);
}

}  // namespace
