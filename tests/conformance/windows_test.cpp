// Window life, geometry, visibility, stacking and repainting as the callers
// see them through the window calls.
#include <functional>

#include "platform/editor.h"
#include "recording_window.h"

namespace conformance {
namespace {

using Windows = PlatformTest;

constexpr Rect kStart{100, 100, 260, 140};
constexpr std::uint32_t kZOnly = swp::NoMove | swp::NoSize | swp::NoActivate;

TEST_F(Windows, CreationSendsCreateFirstAndStartsHidden)
{
    WindowHandle seenInCreate = 0;
    SetHandler([&](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::Create) seenInCreate = window;
        return std::nullopt;
    });
    const WindowHandle w = MakeWindow(kStart, u"conformance create");
    ASSERT_NE(w, 0u);
    EXPECT_EQ(seenInCreate, w) << "wm::Create did not run before the creation returned";
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().front(), (Received{w, wm::Create, 0, 0}));
    EXPECT_TRUE(IsLiveWindow(w));
    EXPECT_FALSE(IsWindowShown(w));
    EXPECT_EQ(GetWindowBounds(w), kStart);
    EXPECT_EQ(FindAppWindow(kClassName, u"conformance create"), w);
    EXPECT_EQ(FindAppWindow(kClassName, u"no such title"), 0u);
}

TEST_F(Windows, CreationOfAnUnknownClassFails)
{
    EXPECT_EQ(CreateAppWindow(u"NO SUCH CLASS", u"x", kStart), 0u);
}

TEST_F(Windows, AClassIsRegisteredOnceAndNeedsANameAndAProcedure)
{
    EXPECT_FALSE(RegisterWindowClass(kClassName, 0, DefaultWindowProc)) << "registered twice";
    EXPECT_FALSE(RegisterWindowClass(u"", 0, DefaultWindowProc));
    EXPECT_FALSE(RegisterWindowClass(u"CONFORMANCE NO PROC", 0, nullptr));
}

TEST_F(Windows, CreateAnsweredWithMinusOneEndsTheWindow)
{
    SetHandler([](WindowHandle, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::Create) return -1;
        return std::nullopt;
    });
    EXPECT_EQ(CreateAppWindow(kClassName, u"conformance refused", kStart), 0u);
    ASSERT_FALSE(Log().empty());
    const WindowHandle refused = Log().front().window;
    EXPECT_EQ(ReceivedBy(refused, wm::Destroy).size(), 1u);
    EXPECT_FALSE(IsLiveWindow(refused));
    EXPECT_EQ(FindAppWindow(kClassName, u"conformance refused"), 0u);
}

TEST_F(Windows, AHandleIsNeverHandedOutTwice)
{
    const WindowHandle first = MakeWindow();
    ASSERT_TRUE(DestroyAppWindow(first));
    const WindowHandle second = MakeWindow();
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsLiveWindow(first));
    EXPECT_FALSE(PostWindowMessage(first, wm::User, 0, 0)) << "the old handle reached the new window";
}

struct Placement {
    const char* name;
    bool place;  // PlaceWindow with flags, else MoveAppWindow
    Rect bounds;
    std::uint32_t flags;
    Rect expected;
    bool moved;
    bool sized;
};

const Placement kPlacements[] = {
    {"move and resize", false, {120, 130, 320, 190}, 0, {120, 130, 320, 190}, true, true},
    {"resize in place", false, {100, 100, 300, 160}, 0, {100, 100, 300, 160}, false, true},
    {"move only", false, {150, 90, 310, 130}, 0, {150, 90, 310, 130}, true, false},
    {"same rectangle", false, kStart, 0, kStart, false, false},
    {"place without size", true, {200, 210, 0, 0}, swp::NoSize | swp::NoZOrder | swp::NoActivate,
     {200, 210, 360, 250}, true, false},
    {"place without move", true, {0, 0, 80, 50}, swp::NoMove | swp::NoZOrder | swp::NoActivate,
     {100, 100, 180, 150}, false, true},
    {"place both", true, {50, 60, 250, 160}, swp::NoZOrder | swp::NoActivate, {50, 60, 250, 160}, true, true},
    {"place neither", true, {0, 0, 10, 10}, kZOnly, kStart, false, false},
};

TEST_F(Windows, GeometryFollowsMoveAndPlaceWithTheirMessages)
{
    for (const Placement& p : kPlacements) {
        SCOPED_TRACE(p.name);
        const WindowHandle w = MakeWindow(kStart);
        Log().clear();
        const bool done = p.place ? PlaceWindow(w, z::Top, p.bounds, p.flags) : MoveAppWindow(w, p.bounds, true);
        EXPECT_TRUE(done);
        EXPECT_EQ(GetWindowBounds(w), p.expected);
        const auto moves = ReceivedBy(w, wm::Move);
        const auto sizes = ReceivedBy(w, wm::Size);
        ASSERT_EQ(moves.size(), p.moved ? 1u : 0u);
        ASSERT_EQ(sizes.size(), p.sized ? 1u : 0u);
        if (p.moved) {
            EXPECT_EQ(moves[0].lParam, PackPoint(p.expected.left, p.expected.top));
        }
        if (p.sized) {
            EXPECT_EQ(sizes[0].lParam, PackPoint(p.expected.Width(), p.expected.Height()));
        }
        DestroyAppWindow(w);
    }
}

// A shown window grown past the work area's right and bottom edges stays
// where it was put with the size it was given, also once the desktop has
// had its say; so does one many screens high. A child grown with it keeps
// the size it was given too.
TEST_F(Windows, AWindowGrownPastTheWorkAreaKeepsItsPlaceAndSize)
{
    const Rect work = GetWorkArea();
    const Rect start{work.right - 150, work.bottom - 60, work.right - 50, work.bottom - 30};
    const WindowHandle w = MakeWindow(start);
    const WindowHandle child = CreateEditorControl(w, 139, Rect{5, 5, 95, 25}, 0);
    ShowAppWindow(w, sw::ShowNormal);
    PumpAWhile();
    for (const int height : {100, 40000}) {
        const Rect grown{start.left, start.top, start.left + 300, start.top + height};
        Log().clear();
        MoveAppWindow(w, grown, true);
        MoveChildWindow(child, Rect{5, 5, 295, height - 5}, true);
        PumpAWhile();
        EXPECT_EQ(GetWindowBounds(w), grown);
        EXPECT_EQ(GetClientRect(w), (Rect{0, 0, 300, height}));
        EXPECT_EQ(GetClientRect(child), (Rect{0, 0, 290, height - 10}));
        EXPECT_EQ(GetWindowBounds(child), (Rect{grown.left + 5, grown.top + 5, grown.right - 5, grown.bottom - 5}));
        EXPECT_TRUE(ReceivedBy(w, wm::Move).empty()) << "the window was moved";
    }
}

bool Inside(const Rect& inner, const Rect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The places the program opens menus at: the work area lies on the screen,
// and so does the pointer.
TEST_F(Windows, TheWorkAreaAndThePointerLieOnTheScreen)
{
    const Rect screen = GetScreenBounds();
    ASSERT_GT(screen.Width(), 0);
    ASSERT_GT(screen.Height(), 0);
    const Rect work = GetWorkArea();
    EXPECT_GT(work.Width(), 0);
    EXPECT_GT(work.Height(), 0);
    EXPECT_TRUE(Inside(work, screen));
    const Point pointer = GetPointerPosition();
    EXPECT_TRUE(Inside(Rect{pointer.x, pointer.y, pointer.x + 1, pointer.y + 1}, screen))
        << pointer.x << "," << pointer.y;
}

TEST_F(Windows, ShowReportsThePreviousVisibility)
{
    struct Step {
        int command;
        bool wasShown;
        bool shownAfter;
    };
    const Step steps[] = {
        {sw::Show, false, true},  {sw::Show, true, true},        {sw::Hide, true, false},
        {sw::Hide, false, false}, {sw::ShowNormal, false, true}, {sw::Hide, true, false},
    };
    const WindowHandle w = MakeWindow();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        EXPECT_EQ(ShowAppWindow(w, step.command), step.wasShown);
        EXPECT_EQ(IsWindowShown(w), step.shownAfter);
    }
}

TEST_F(Windows, StackingBandsFollowTheLastPlacement)
{
    const WindowHandle a = MakeWindow(kStart);
    const WindowHandle b = MakeWindow(Rect{300, 100, 460, 140});
    ShowAppWindow(a, sw::Show);
    ShowAppWindow(b, sw::Show);
    EXPECT_EQ(GetZBand(a), ZBand::Normal);

    ASSERT_TRUE(PlaceWindow(a, z::Topmost, Rect{}, kZOnly));
    EXPECT_EQ(GetZBand(a), ZBand::Topmost);
    EXPECT_EQ(GetZBand(b), ZBand::Normal);
    EXPECT_EQ(GetZRank(a), 0);
    EXPECT_GT(GetZRank(b), GetZRank(a));
    EXPECT_EQ(GetWindowBounds(a), kStart) << "a placement without move or size changed the rectangle";

    // b coming to the top of its band stays behind the topmost window.
    ASSERT_TRUE(PlaceWindow(b, z::Top, Rect{}, kZOnly));
    EXPECT_GT(GetZRank(b), GetZRank(a));

    ASSERT_TRUE(PlaceWindow(a, z::NotTopmost, Rect{}, kZOnly));
    EXPECT_EQ(GetZBand(a), ZBand::Normal);

    ASSERT_TRUE(PlaceWindow(a, z::Bottom, Rect{}, kZOnly));
    EXPECT_EQ(GetZBand(a), ZBand::Bottom);
    EXPECT_GT(GetZRank(a), GetZRank(b));

    ASSERT_TRUE(PlaceWindow(a, z::Topmost, Rect{}, kZOnly));
    EXPECT_EQ(GetZBand(a), ZBand::Topmost) << "a bottom window did not leave its band";
    EXPECT_LT(GetZRank(a), GetZRank(b));
}

// Windows a, b, c are made in that order, so c, b, a stand front to back.
TEST_F(Windows, StackingFollowsBandsAndInsertAfterValues)
{
    struct Case {
        const char* name;
        std::function<void(WindowHandle, WindowHandle, WindowHandle)> act;
        std::vector<int> expected;  // 0 = a, 1 = b, 2 = c, front to back
    };
    const Case cases[] = {
        {"new windows come to the front", [](auto, auto, auto) {}, {2, 1, 0}},
        {"topmost goes in front of all", [](auto a, auto, auto) { PlaceWindow(a, z::Topmost, {}, kZOnly); }, {0, 2, 1}},
        {"not-topmost leaves a normal window where it is",
         [](auto a, auto, auto) { PlaceWindow(a, z::NotTopmost, {}, kZOnly); }, {2, 1, 0}},
        {"not-topmost puts a topmost window at the front of the normal band",
         [](auto a, auto b, auto) {
             PlaceWindow(a, z::Topmost, {}, kZOnly);
             PlaceWindow(b, z::Topmost, {}, kZOnly);
             PlaceWindow(a, z::NotTopmost, {}, kZOnly);
         },
         {1, 0, 2}},
        {"bottom goes behind all", [](auto, auto, auto c) { PlaceWindow(c, z::Bottom, {}, kZOnly); }, {1, 0, 2}},
        {"top keeps a bottom window in its band",
         [](auto a, auto b, auto) {
             PlaceWindow(a, z::Bottom, {}, kZOnly);
             PlaceWindow(b, z::Bottom, {}, kZOnly);
             PlaceWindow(a, z::Top, {}, kZOnly);
         },
         {2, 0, 1}},
        {"foreground comes to the front of its band at once",
         [](auto a, auto, auto c) {
             PlaceWindow(c, z::Topmost, {}, kZOnly);
             BringToForeground(a);
         },
         {2, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<WindowHandle> w = {MakeWindow(kStart), MakeWindow(kStart), MakeWindow(kStart)};
        c.act(w[0], w[1], w[2]);
        for (std::size_t rank = 0; rank < c.expected.size(); ++rank) {
            const WindowHandle window = w[c.expected[rank]];
            std::size_t before = 0;
            for (const WindowHandle other : w)
                if (GetZRank(other) < GetZRank(window)) ++before;
            EXPECT_EQ(before, rank) << "window " << c.expected[rank];
        }
        for (const WindowHandle window : w) DestroyAppWindow(window);
    }
}

TEST_F(Windows, AnUnknownInsertAfterIsRefusedUnlessTheOrderIsKept)
{
    const WindowHandle w = MakeWindow();
    EXPECT_FALSE(PlaceWindow(w, 12345, {}, kZOnly));
    EXPECT_TRUE(PlaceWindow(w, 12345, {}, kZOnly | swp::NoZOrder));
}

TEST_F(Windows, DestroySendsDestroyAndEndsTheHandle)
{
    const WindowHandle w = MakeWindow(kStart, u"conformance destroy");
    ShowAppWindow(w, sw::Show);
    Log().clear();
    ASSERT_TRUE(DestroyAppWindow(w));
    EXPECT_EQ(ReceivedBy(w, wm::Destroy).size(), 1u);
    EXPECT_FALSE(IsLiveWindow(w));
    EXPECT_FALSE(IsWindowShown(w));
    EXPECT_EQ(FindAppWindow(kClassName, u"conformance destroy"), 0u);
    EXPECT_FALSE(DestroyAppWindow(w));
    EXPECT_EQ(ReceivedBy(w, wm::Destroy).size(), 1u);
}

TEST_F(Windows, CloseByDefaultDestroysTheWindow)
{
    const WindowHandle w = MakeWindow();
    SendWindowMessage(w, wm::Close, 0, 0);
    EXPECT_FALSE(IsLiveWindow(w));
    EXPECT_EQ(ReceivedBy(w, wm::Destroy).size(), 1u);
}

TEST_F(Windows, InvalidatedShownWindowIsRepaintedAndHiddenOneIsNot)
{
    const WindowHandle shown = MakeWindow(kStart);
    const WindowHandle hidden = MakeWindow(Rect{300, 100, 460, 140});
    ShowAppWindow(shown, sw::Show);
    PumpMessages();
    Log().clear();
    for (WindowHandle w : {shown, hidden}) {
        InvalidateWindow(w, true);
        UpdateAppWindow(w);
    }
    PumpMessages();
    EXPECT_GE(ReceivedBy(shown, wm::Paint).size(), 1u);
    EXPECT_TRUE(ReceivedBy(hidden, wm::Paint).empty());
}

}  // namespace
}  // namespace conformance
