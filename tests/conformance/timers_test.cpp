// Window timers: when their messages come, in which order with the posted
// messages, and that a stopped timer or a destroyed window's timer is
// silent. On the desktop the times are real, and a loaded machine may run
// a loop late by any amount: the cases hold what stays true however late,
// that no message comes early and the order of the messages.
#include <algorithm>
#include <chrono>

#include "platform/system.h"
#include "platform/timer.h"
#include "recording_window.h"
#ifdef CONFORMANCE_HEADLESS
#include "platform/sim/sim.h"
#endif

namespace conformance {
namespace {

constexpr std::uint32_t kFirst = wm::User + 1;
constexpr std::uint32_t kSecond = wm::User + 2;
constexpr std::uint32_t kDone = wm::User + 99;

// The clock the timers go by: the headless backend's own, which moves only
// as its loops let time pass, or the real one.
std::int64_t NowMs()
{
#ifdef CONFORMANCE_HEADLESS
    return sim::Now();
#else
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
#endif
}

class Timers : public PlatformTest {
protected:
    // From now on notes when each timer message comes, in milliseconds from now.
    void TimeArrivals()
    {
        const std::int64_t start = NowMs();
        SetHandler([this, start](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
            if (message == wm::Timer) arrivals_.push_back(NowMs() - start);
            return std::nullopt;
        });
    }
    // Lets time pass until `count` timer messages have come, for at most
    // ten seconds: when they came.
    const std::vector<std::int64_t>& AwaitArrivals(std::size_t count)
    {
        for (const std::int64_t end = NowMs() + 10000; arrivals_.size() < count && NowMs() < end;)
            PumpMessagesFor(20);
        return arrivals_;
    }

private:
    std::vector<std::int64_t> arrivals_;
};

std::size_t TimerMessages(WindowHandle window) { return ReceivedBy(window, wm::Timer).size(); }

TEST_F(Timers, FireOncePerPeriodAndNeverBeforeTheirTime)
{
    const WindowHandle w = MakeWindow();
    TimeArrivals();
    ASSERT_TRUE(SetWindowTimer(w, 7, 400));
    const std::vector<std::int64_t>& at = AwaitArrivals(2);
    ASSERT_EQ(at.size(), 2u) << "the timer must go on firing, once per period";
    EXPECT_GE(at[0], 400) << "the timer fired before its period was over";
    EXPECT_GE(at[1], 800) << "the timer fired twice in one period";
    EXPECT_EQ(ReceivedBy(w, wm::Timer)[0], (Received{w, wm::Timer, 7, 0}));
}

TEST_F(Timers, ALoopThatWasBusyForManyPeriodsGetsOneMessage)
{
    const WindowHandle w = MakeWindow();
    ASSERT_TRUE(SetWindowTimer(w, 1, 50));
    SleepMilliseconds(400);
    const std::int64_t before = NowMs();
    PumpMessages();
    // One message for the eight periods the loop was away, and at most one
    // for each period that passed while it looked.
    const std::int64_t looking = NowMs() - before;
    EXPECT_GE(TimerMessages(w), 1u);
    EXPECT_LE(TimerMessages(w), 1u + static_cast<std::size_t>(looking / 50)) << "a timer must not build up a backlog";
}

TEST_F(Timers, StartingATimerAgainStartsItsPeriodAfresh)
{
    const WindowHandle w = MakeWindow();
    ASSERT_TRUE(SetWindowTimer(w, 1, 400));
    PumpMessagesFor(250);
    TimeArrivals();
    ASSERT_TRUE(SetWindowTimer(w, 1, 400));
    const std::vector<std::int64_t>& at = AwaitArrivals(1);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_GE(at[0], 400) << "the timer kept the period of its first start";
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
