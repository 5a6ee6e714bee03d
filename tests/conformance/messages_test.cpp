// Posting, sending and pumping: the order and timing that every caller of
// the message queue relies on.
#include "recording_window.h"

namespace conformance {
namespace {

constexpr std::uint32_t kFirst = wm::User + 1;
constexpr std::uint32_t kSecond = wm::User + 2;
constexpr std::uint32_t kThird = wm::User + 3;
constexpr std::uint32_t kFourth = wm::User + 4;
constexpr std::uint32_t kDone = wm::User + 99;

using Messages = PlatformTest;

TEST_F(Messages, PostedMessagesArriveInPostingOrderAcrossWindows)
{
    const WindowHandle a = MakeWindow();
    const WindowHandle b = MakeWindow(Rect{300, 100, 460, 140});
    const std::vector<Received> posted = {
        {a, kFirst, 1, -1}, {b, kSecond, 2, 70000}, {a, kThird, 3, 0}, {b, kFirst, 4, 5}, {a, kFirst, 5, 6},
    };
    for (const Received& m : posted) ASSERT_TRUE(PostWindowMessage(m.window, m.message, m.wParam, m.lParam));
    EXPECT_TRUE(PrivateMessages().empty()) << "a posted message ran before any loop";
    PumpMessages();
    EXPECT_EQ(PrivateMessages(), posted);
}

TEST_F(Messages, NestedPumpDeliversPendingAndNewlyPostedMessagesInOrder)
{
    const WindowHandle w = MakeWindow();
    SetHandler([w](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message != kFirst) return std::nullopt;
        PostWindowMessage(w, kThird, 0, 0);
        PostWindowMessage(w, kFourth, 0, 0);
        PumpMessages();  // as the loop of a menu or dialog opened here would
        Log().push_back({w, kDone, 0, 0});
        return 0;
    });
    PostWindowMessage(w, kFirst, 0, 0);
    PostWindowMessage(w, kSecond, 0, 0);
    PumpMessages();
    const std::vector<Received> expected = {
        {w, kFirst, 0, 0}, {w, kSecond, 0, 0}, {w, kThird, 0, 0}, {w, kFourth, 0, 0}, {w, kDone, 0, 0},
    };
    EXPECT_EQ(PrivateMessages(), expected);
}

TEST_F(Messages, PumpReturnsWhenTheQueueIsEmpty)
{
    const WindowHandle w = MakeWindow();
    PumpMessages();
    Log().clear();
    PumpMessages();
    EXPECT_TRUE(PrivateMessages().empty());
    PostWindowMessage(w, kFirst, 0, 0);
    PumpMessages();
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, kFirst).size(), 1u) << "a message was delivered twice";
}

TEST_F(Messages, SentMessageRunsAtOnceAndItsResultComesBack)
{
    const WindowHandle a = MakeWindow();
    const WindowHandle b = MakeWindow(Rect{300, 100, 460, 140});
    SetHandler([b](WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) -> std::optional<LResult> {
        if (message == kSecond) return static_cast<LResult>(wParam) * 1000 + lParam;
        // A send from inside a handler runs the other window's procedure at once too.
        if (message == kFirst && window != b) return SendWindowMessage(b, kSecond, wParam + 1, lParam) + 1;
        return std::nullopt;
    });
    PostWindowMessage(a, kThird, 0, 0);
    EXPECT_EQ(SendWindowMessage(b, kSecond, 7, 42), 7042);
    EXPECT_EQ(SendWindowMessage(a, kFirst, 3, 5), 4006);
    const std::vector<Received> expected = {{b, kSecond, 7, 42}, {a, kFirst, 3, 5}, {b, kSecond, 4, 5}};
    EXPECT_EQ(PrivateMessages(), expected) << "sending must not run posted messages";
    PumpMessages();
    EXPECT_EQ(ReceivedBy(a, kThird).size(), 1u);
}

// Every posted message has a window; the quit message is the only one for
// the thread itself.
TEST_F(Messages, PostingToNoWindowIsRefused)
{
    EXPECT_FALSE(PostWindowMessage(0, kFirst, 0, 0));
    PumpMessages();
    EXPECT_TRUE(PrivateMessages().empty());
}

TEST_F(Messages, MessagesForADestroyedWindowAreNotDelivered)
{
    const WindowHandle doomed = MakeWindow();
    const WindowHandle other = MakeWindow(Rect{300, 100, 460, 140});
    PostWindowMessage(doomed, kFirst, 0, 0);
    PostWindowMessage(other, kSecond, 0, 0);
    ASSERT_TRUE(DestroyAppWindow(doomed));
    EXPECT_FALSE(PostWindowMessage(doomed, kThird, 0, 0));
    EXPECT_EQ(SendWindowMessage(doomed, kFourth, 1, 1), 0);
    PumpMessages();
    EXPECT_EQ(PrivateMessages(), (std::vector<Received>{{other, kSecond, 0, 0}}));
}

}  // namespace
}  // namespace conformance
