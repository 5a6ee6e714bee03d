// The end of the program from outside (a signal, the desktop's quit at the
// end of a session): it destroys the window named for it, from a loop, and
// a request that comes before any window is named waits for one.
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

}  // namespace
}  // namespace conformance
