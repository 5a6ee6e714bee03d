// Window timers: when their messages come, in which order with the posted
// messages, and that a stopped timer or a destroyed window's timer is
// silent. On the desktop the times are real, so the margins are wide.
#include <algorithm>

#include "platform/system.h"
#include "platform/timer.h"
#include "recording_window.h"

namespace conformance {
namespace {

constexpr std::uint32_t kFirst = wm::User + 1;
constexpr std::uint32_t kSecond = wm::User + 2;
constexpr std::uint32_t kDone = wm::User + 99;

using Timers = PlatformTest;

std::size_t TimerMessages(WindowHandle window) { return ReceivedBy(window, wm::Timer).size(); }

TEST_F(Timers, FireOncePerPeriodAndNeverBeforeTheirTime)
{
    const WindowHandle w = MakeWindow();
    ASSERT_TRUE(SetWindowTimer(w, 7, 400));
    PumpMessagesFor(150);
    EXPECT_EQ(TimerMessages(w), 0u) << "the timer fired before its period was over";
    PumpMessagesFor(450);  // 600 ms in
    ASSERT_EQ(TimerMessages(w), 1u);
    EXPECT_EQ(ReceivedBy(w, wm::Timer)[0], (Received{w, wm::Timer, 7, 0}));
    PumpMessagesFor(400);  // 1000 ms in
    EXPECT_EQ(TimerMessages(w), 2u) << "the timer must go on firing, once per period";
}

TEST_F(Timers, ALoopThatWasBusyForManyPeriodsGetsOneMessage)
{
    const WindowHandle w = MakeWindow();
    ASSERT_TRUE(SetWindowTimer(w, 1, 50));
    SleepMilliseconds(400);
    PumpMessages();
    EXPECT_EQ(TimerMessages(w), 1u) << "a timer must not build up a backlog";
}

TEST_F(Timers, StartingATimerAgainStartsItsPeriodAfresh)
{
    const WindowHandle w = MakeWindow();
    ASSERT_TRUE(SetWindowTimer(w, 1, 400));
    PumpMessagesFor(250);
    ASSERT_TRUE(SetWindowTimer(w, 1, 400));
    PumpMessagesFor(250);  // 500 ms after the first start, 250 after the second
    EXPECT_EQ(TimerMessages(w), 0u);
    PumpMessagesFor(350);
    EXPECT_EQ(TimerMessages(w), 1u);
}

TEST_F(Timers, AStoppedTimerIsSilentEvenWhenItsMessageWaitsAlready)
{
    const WindowHandle w = MakeWindow();
    // Both fall due during the wait; whichever message comes first stops
    // both timers, so the other's waiting message must not arrive.
    SetHandler([w](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message != wm::Timer) return std::nullopt;
        KillWindowTimer(w, 1);
        KillWindowTimer(w, 2);
        return 0;
    });
    ASSERT_TRUE(SetWindowTimer(w, 1, 50));
    ASSERT_TRUE(SetWindowTimer(w, 2, 60));
    SleepMilliseconds(200);
    PumpMessages();
    EXPECT_EQ(TimerMessages(w), 1u);
    PumpMessagesFor(200);
    EXPECT_EQ(TimerMessages(w), 1u) << "a stopped timer fired";
    EXPECT_FALSE(KillWindowTimer(w, 1)) << "the timer was stopped already";
    EXPECT_FALSE(KillWindowTimer(w, 3)) << "no timer of this id was ever started";
}

TEST_F(Timers, ADestroyedWindowsTimerNeverFires)
{
    const WindowHandle doomed = MakeWindow();
    const WindowHandle other = MakeWindow(Rect{300, 100, 460, 140});
    ASSERT_TRUE(SetWindowTimer(doomed, 1, 50));
    ASSERT_TRUE(SetWindowTimer(other, 1, 50));
    ASSERT_TRUE(DestroyAppWindow(doomed));
    PumpMessagesFor(200);
    EXPECT_EQ(TimerMessages(doomed), 0u);
    EXPECT_GE(TimerMessages(other), 1u) << "the other window's timer must go on";
    EXPECT_FALSE(SetWindowTimer(doomed, 2, 50)) << "a timer was started for a window that is gone";
    EXPECT_FALSE(KillWindowTimer(doomed, 1));
}

TEST_F(Timers, TheMessageComesBehindWhatWasPostedBeforeTheLoopLooked)
{
    const WindowHandle w = MakeWindow();
    SetHandler([w](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message != kFirst) return std::nullopt;
        SetWindowTimer(w, 1, 30);
        SleepMilliseconds(100);  // the timer falls due here, while no loop looks
        PostWindowMessage(w, kSecond, 0, 0);
        return 0;
    });
    PostWindowMessage(w, kFirst, 0, 0);
    PumpMessages();
    KillWindowTimer(w, 1);
    std::vector<std::uint32_t> order;
    for (const Received& r : Log())
        if (r.window == w && (r.message == kFirst || r.message == kSecond || r.message == wm::Timer))
            order.push_back(r.message);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{kFirst, kSecond, wm::Timer}));
}

TEST_F(Timers, NestedLoopsFireTimersToo)
{
    const WindowHandle w = MakeWindow();
    SetHandler([w](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message != kFirst) return std::nullopt;
        SetWindowTimer(w, 1, 50);
        PumpMessagesFor(200);  // as the loop of a menu or dialog opened here would
        KillWindowTimer(w, 1);
        Log().push_back({w, kDone, 0, 0});
        return 0;
    });
    PostWindowMessage(w, kFirst, 0, 0);
    PumpMessages();
    ASSERT_FALSE(ReceivedBy(w, kDone).empty());
    const auto timer = std::find_if(Log().begin(), Log().end(), [](const Received& r) { return r.message == wm::Timer; });
    const auto done = std::find_if(Log().begin(), Log().end(), [](const Received& r) { return r.message == kDone; });
    EXPECT_LT(timer, done) << "the timer did not fire inside the nested loop";
}

}  // namespace
}  // namespace conformance
