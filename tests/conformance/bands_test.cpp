// The z band follows the last placement, also from the bottom back to normal.
#include "recording_window.h"

namespace conformance {
namespace {

using Bands = PlatformTest;

TEST_F(Bands, NotTopmostBringsATopmostOrBottomWindowBackToNormal)
{
    const WindowHandle w = MakeWindow(Rect{100, 100, 200, 140}, u"conformance bands");
    ShowAppWindow(w, sw::Show);
    constexpr std::uint32_t flags = swp::NoMove | swp::NoSize | swp::NoActivate | swp::ShowWindow;
    for (const std::int32_t from : {z::Bottom, z::Topmost}) {
        ASSERT_TRUE(PlaceWindow(w, from, Rect{}, flags));
        EXPECT_NE(GetZBand(w), ZBand::Normal);
        ASSERT_TRUE(PlaceWindow(w, z::NotTopmost, Rect{}, flags));
        EXPECT_EQ(GetZBand(w), ZBand::Normal) << "from " << from;
    }
}

}  // namespace
}  // namespace conformance
