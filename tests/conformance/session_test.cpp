// The end of the program from outside (a signal, the desktop's quit at the
// end of a session): it destroys the window named for it, from a loop, and
// a request that comes before any window is named waits for one. The
// desktop's request to close one window: the window decides.
#include <memory>

#include "platform/system.h"
#include "platform/timer.h"
#include "recording_window.h"

namespace conformance {
namespace {

using SessionEnds = PlatformTest;

constexpr SessionEnd kEveryWay[] = {SessionEnd::Terminate, SessionEnd::Hangup, SessionEnd::Interrupt,
                                    SessionEnd::DesktopQuit};

TEST_F(SessionEnds, EveryWayDestroysTheNamedWindowFromTheLoop)
{
    for (const SessionEnd how : kEveryWay) {
        SCOPED_TRACE(static_cast<int>(how));
        const WindowHandle session = MakeWindow();
        const WindowHandle other = MakeWindow(Rect{300, 100, 460, 140});
        SetSessionEndWindow(session);
        RequestSessionEnd(how);
        EXPECT_TRUE(IsLiveWindow(session)) << "the request was carried out outside a loop";
        PumpMessages();
        EXPECT_FALSE(IsLiveWindow(session));
        EXPECT_EQ(ReceivedBy(session, wm::Destroy).size(), 1u);
        EXPECT_TRUE(IsLiveWindow(other)) << "only the named window ends";
        SetSessionEndWindow(0);
    }
}

TEST_F(SessionEnds, ARequestBeforeAnyWindowIsNamedWaitsForOne)
{
    for (const SessionEnd how : kEveryWay) {
        SCOPED_TRACE(static_cast<int>(how));
        SetSessionEndWindow(0);
        const WindowHandle session = MakeWindow();
        RequestSessionEnd(how);
        PumpMessages();
        ASSERT_TRUE(IsLiveWindow(session));
        SetSessionEndWindow(session);
        EXPECT_TRUE(IsLiveWindow(session)) << "naming the window must not end it on the spot";
        PumpMessages();
        EXPECT_FALSE(IsLiveWindow(session)) << "the waiting request was lost";
        SetSessionEndWindow(0);
    }
}

// Before its windows stand, the program shows a box only when it cannot
// start: the request closes it, and still waits for a window.
TEST_F(SessionEnds, ARequestBeforeAnyWindowIsNamedClosesTheBoxOpen)
{
    for (const SessionEnd how : kEveryWay) {
        SCOPED_TRACE(static_cast<int>(how));
        SetSessionEndWindow(0);
        const WindowHandle w = MakeWindow();
        // Shared: the window and its handler outlive this round of the loop.
        const auto stayedOpen = std::make_shared<bool>(false);
        SetHandler([how, stayedOpen](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
            if (message == wm::User) RequestSessionEnd(how);
            if (message == wm::Timer && !*stayedOpen) CloseMenuOrDialog();  // fails the case rather than hangs it
            *stayedOpen = *stayedOpen || message == wm::Timer;
            return std::nullopt;
        });
        PostWindowMessage(w, wm::User, 0, 0);
        SetWindowTimer(w, 1, 10000);
        ShowMessageBox(u"Data フォルダが作成できません", u"付箋紙", mb::Ok | mb::IconExclamation);
        KillWindowTimer(w, 1);
        EXPECT_FALSE(*stayedOpen) << "the box stayed open";
        SetSessionEndWindow(w);
        PumpMessages();
        EXPECT_FALSE(IsLiveWindow(w)) << "the request went with the box";
        SetSessionEndWindow(0);
    }
}

TEST_F(SessionEnds, ARequestAfterTheNamedWindowIsGoneDoesNothing)
{
    const WindowHandle session = MakeWindow();
    const WindowHandle other = MakeWindow(Rect{300, 100, 460, 140});
    SetSessionEndWindow(session);
    ASSERT_TRUE(DestroyAppWindow(session));
    RequestSessionEnd(SessionEnd::Terminate);
    PumpMessages();
    EXPECT_TRUE(IsLiveWindow(other));
    SetSessionEndWindow(0);
}

using CloseRequests = PlatformTest;

TEST_F(CloseRequests, ArriveAsASystemCommandThatClosesByDefault)
{
    const WindowHandle w = MakeWindow();
    ShowAppWindow(w, sw::Show);
    DeliverCloseRequest(w);
    const std::vector<Received> commands = ReceivedBy(w, wm::SysCommand);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam & 0xFFF0, sc::Close);
    EXPECT_EQ(ReceivedBy(w, wm::Close).size(), 1u);
    EXPECT_FALSE(IsLiveWindow(w));
}

TEST_F(CloseRequests, AWindowThatAnswersThemItselfStays)
{
    const WindowHandle w = MakeWindow();
    ShowAppWindow(w, sw::Show);
    SetHandler([](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::SysCommand) return 0;
        return std::nullopt;
    });
    DeliverCloseRequest(w);
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, wm::SysCommand).size(), 1u);
    EXPECT_TRUE(ReceivedBy(w, wm::Close).empty());
    EXPECT_TRUE(IsLiveWindow(w));
    EXPECT_TRUE(IsWindowShown(w));
}

}  // namespace
}  // namespace conformance
