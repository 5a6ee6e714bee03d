// How the dialogs are laid out: dialog units to pixels, labels grown to fit
// their text without running into a neighbour, and the program's three
// templates laid out whole: every control inside its dialog, none over
// another, every label as wide as its text.
#include "dialogs/templates.h"
#include "platform/dialog_box.h"
#include "platform/testing/inspect.h"
#include "platform/shared/dialog_layout.h"
#include "platform/sim/sim_menus.h"
#include "platform/text.h"
#include "sim_fixture.h"

namespace {

using namespace platform;
using shared::FitLabels;
using shared::Growth;
using shared::LaidOutItem;
using shared::ToPixels;

TEST(DialogUnits, EdgesAreMappedOnTheirOwnSoNeighboursStillTouch)
{
    const shared::BaseUnits units{7, 17};
    EXPECT_EQ(ToPixels({10, 18, 77, 60}, units), (Rect{18, 38, 152, 166}));
    // 3 units are 5.25 pixels: the edge between two neighbours is shared.
    EXPECT_EQ(ToPixels({0, 0, 3, 8}, units).right, ToPixels({3, 0, 3, 8}, units).left);
    // Halves round away from zero.
    EXPECT_EQ(ToPixels({2, 4, 0, 0}, shared::BaseUnits{6, 12}), (Rect{3, 6, 3, 6}));
    EXPECT_EQ(ToPixels({-2, -4, 0, 0}, shared::BaseUnits{6, 12}), (Rect{-3, -6, -3, -6}));
}

// A full-width character counts as at most 1.8 average characters, so a
// font whose letters are narrow still gives Japanese labels their room.
TEST(DialogUnits, TheAverageWidthLeavesRoomForFullWidthCharacters)
{
    EXPECT_EQ(shared::BaseUnitsOf(8, 12, 17).x, 8);
    EXPECT_EQ(shared::BaseUnitsOf(6, 12, 12).x, 7);
    EXPECT_EQ(shared::BaseUnitsOf(5, 18, 20).x, 10);
    EXPECT_EQ(shared::BaseUnitsOf(6, 12, 12).y, 12);
}

TEST(DialogUnits, LabelsGrowTowardsTheirFreeSideUpToANeighbour)
{
    const struct {
        const char* what;
        LaidOutItem item;
        Rect neighbour;  // on the same row unless said otherwise
        Rect expected;
    } cases[] = {
        {"fits already", {{10, 0, 50, 10}, 30, Growth::Right}, {60, 0, 80, 10}, {10, 0, 50, 10}},
        {"left-aligned: to the right", {{10, 0, 50, 10}, 60, Growth::Right}, {100, 0, 120, 10}, {10, 0, 70, 10}},
        {"stops short of a neighbour", {{10, 0, 50, 10}, 90, Growth::Right}, {80, 0, 120, 10}, {10, 0, 78, 10}},
        {"a neighbour on another row", {{10, 0, 50, 10}, 90, Growth::Right}, {80, 10, 120, 20}, {10, 0, 100, 10}},
        {"stops at the dialog's edge", {{10, 0, 50, 10}, 190, Growth::Right}, {0, 30, 5, 40}, {10, 0, 150, 10}},
        {"right-aligned: to the left", {{60, 0, 100, 10}, 70, Growth::Left}, {0, 0, 20, 10}, {30, 0, 100, 10}},
        {"right-aligned, up to a neighbour", {{60, 0, 100, 10}, 90, Growth::Left}, {0, 0, 20, 10}, {22, 0, 100, 10}},
        {"centred: both sides", {{40, 0, 60, 10}, 40, Growth::Both}, {0, 30, 5, 40}, {30, 0, 70, 10}},
        {"no text to fit", {{10, 0, 50, 10}, 90, Growth::None}, {0, 30, 5, 40}, {10, 0, 50, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<LaidOutItem> items = {c.item, {c.neighbour, 0, Growth::None}};
        FitLabels(items, 150, 2);
        EXPECT_EQ(items[0].bounds, c.expected);
        EXPECT_EQ(items[1].bounds, c.neighbour);
    }
}

// The sim's dialog font is 12 pixels high: a character is 6 pixels wide,
// 12 from U+0800; a check box or radio button adds its box, 16 pixels.
std::int32_t SimTextWidth(const DialogItem& item)
{
    std::int32_t width = item.kind == ControlClass::Button ? 16 : 0;
    for (const char16_t c : item.text) width += c >= 0x0800 ? 12 : 6;
    return width;
}

bool Overlap(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A procedure that never ends its dialog: the sim's user leaves it open,
// and the record keeps where everything stood.
LResult QuietProcedure(WindowHandle, std::uint32_t, WParam, LParam) { return 0; }

using Templates = SimTest;

TEST_F(Templates, EveryControlFitsItsDialogItsTextAndNoOtherControl)
{
    for (const int id : {kAboutDialog, kSettingsDialog, kFontDialog}) {
        SCOPED_TRACE(id);
        const DialogTemplate* dialog = FindDialogTemplate(id);
        ASSERT_NE(dialog, nullptr);
        RunModalDialog(*dialog, QuietProcedure, 0);
        const sim::ShownDialog& shown = sim::DialogsShown().back();
        ASSERT_EQ(shown.controls.size(), dialog->items.size());
        const Rect client{0, 0, shown.bounds.Width(), shown.bounds.Height()};
        for (std::size_t i = 0; i < shown.controls.size(); ++i) {
            const Rect& bounds = shown.controls[i].bounds;
            const DialogItem& item = dialog->items[i];
            SCOPED_TRACE(platform::ToUtf8(item.text) + " " + std::to_string(item.id));
            EXPECT_TRUE(bounds.left >= 0 && bounds.top >= 0 && bounds.right <= client.right &&
                        bounds.bottom <= client.bottom);
            if (shared::GrowthOf(item) != Growth::None) {
                EXPECT_GE(bounds.Width(), SimTextWidth(item)) << "cut off";
            }
            for (std::size_t j = i + 1; j < shown.controls.size(); ++j)
                EXPECT_FALSE(Overlap(bounds, shown.controls[j].bounds)) << "over " << dialog->items[j].id;
        }
    }
}

}  // namespace
