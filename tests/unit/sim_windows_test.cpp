// The sim backend's window table: handles, failed creation, stacking bands,
// activation and focus, and repainting at idle.
#include "sim_fixture.h"

namespace {

using namespace platform;

constexpr std::uint32_t kZOnly = swp::NoMove | swp::NoSize | swp::NoActivate;

using SimWindows = SimTest;

TEST_F(SimWindows, HandlesAreNeverHandedOutTwiceEvenAcrossAReset)
{
    const WindowHandle first = Make();
    ASSERT_TRUE(DestroyAppWindow(first));
    const WindowHandle second = Make();
    EXPECT_GT(second, first);
    sim::Reset();
    ASSERT_TRUE(RegisterWindowClass(u"SIMTEST", 0, DefaultWindowProc));
    const WindowHandle third = Make();
    EXPECT_GT(third, second);
    EXPECT_FALSE(IsLiveWindow(second));
}

TEST_F(SimWindows, ClassIsRegisteredOnce)
{
    EXPECT_FALSE(RegisterWindowClass(u"SIMTEST", 0, DefaultWindowProc));
    EXPECT_FALSE(RegisterWindowClass(u"OTHER", 0, nullptr));
}

TEST_F(SimWindows, CreateAnsweredWithMinusOneDestroysTheWindow)
{
    Answer() = [](WindowHandle, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == wm::Create) return -1;
        return std::nullopt;
    };
    EXPECT_EQ(Make(), 0u);
    ASSERT_EQ(Only({wm::Create, wm::Destroy}).size(), 2u);
    EXPECT_FALSE(IsLiveWindow(Messages()[0].window));
    EXPECT_TRUE(sim::WindowsInZOrder().empty());
}

TEST_F(SimWindows, TheNthCreationFailsWithoutAnyMessage)
{
    sim::FailNthWindowCreation(2);
    EXPECT_NE(Make(), 0u);
    Messages().clear();
    EXPECT_EQ(Make(), 0u);
    EXPECT_TRUE(Messages().empty());
    EXPECT_NE(Make(), 0u);
    EXPECT_EQ(sim::WindowsInZOrder().size(), 2u);
}

TEST_F(SimWindows, StackingFollowsBandsAndInsertAfterValues)
{
    // Windows a, b, c are created in that order: c, b, a front to back.
    struct Case {
        const char* name;
        std::function<void(WindowHandle, WindowHandle, WindowHandle)> act;
        std::vector<int> expected;  // 0 = a, 1 = b, 2 = c, front to back
    };
    const Case cases[] = {
        {"new windows come to the front", [](auto, auto, auto) {}, {2, 1, 0}},
        {"topmost goes in front of all",
         [](auto a, auto, auto) { PlaceWindow(a, z::Topmost, {}, kZOnly); }, {0, 2, 1}},
        {"a new window stays behind the topmost band",
         [](auto a, auto, auto c) {
             DestroyAppWindow(c);
             PlaceWindow(a, z::Topmost, {}, kZOnly);
             Make();
         },
         {0, 3, 1}},
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
        {"foreground comes to the front of its band",
         [](auto a, auto b, auto c) {
             PlaceWindow(c, z::Topmost, {}, kZOnly);
             BringToForeground(a);
             (void)b;
         },
         {2, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Reset();
        ASSERT_TRUE(RegisterWindowClass(u"SIMTEST", 0, DefaultWindowProc));
        const std::vector<WindowHandle> w = {Make(), Make(), Make()};
        c.act(w[0], w[1], w[2]);
        std::vector<WindowHandle> expected;
        for (int i : c.expected) expected.push_back(i < 3 ? w[i] : w[2] + 1);
        EXPECT_EQ(sim::WindowsInZOrder(), expected);
        for (std::size_t rank = 0; rank < expected.size(); ++rank)
            EXPECT_EQ(GetZRank(expected[rank]), static_cast<int>(rank));
    }
}

TEST_F(SimWindows, UnknownInsertAfterIsRefused)
{
    const WindowHandle w = Make();
    EXPECT_FALSE(PlaceWindow(w, 12345, {}, kZOnly));
    EXPECT_TRUE(PlaceWindow(w, 12345, {}, kZOnly | swp::NoZOrder));
}

}  // namespace
