// The font chooser on the simulated desktop, whose families are SimSans,
// SimSerif, Sim明朝 (its regular style named "標準"), SimThin (no regular
// style), the bitmap family SimFixed and the vertical-writing @Sim明朝: what
// the lists offer and preselect, what OK writes, the live sample, what
// happens without a whole choice, and the two commands that run it.
#include <climits>
#include <cstring>
#include <functional>

#include "dialogs/font_dialog.h"
#include "dialogs/templates.h"
#include "menu_fixture.h"
#include "platform/dialog_box.h"
#include "platform/testing/inspect.h"
#include "platform/system.h"

namespace {

using platform::FontDescription;
using platform::WindowHandle;
using FontChooser = MenuTest;

FontDescription Font(std::int32_t height, std::int32_t weight, std::u16string_view face, std::uint8_t italic = 0)
{
    FontDescription font;
    font.height = height;
    font.weight = weight;
    font.italic = italic;
    SetFieldText(font.faceName, face);
    return font;
}

// The text of a list's selected item, or "" when none is selected.
std::u16string Selected(WindowHandle d, int list)
{
    const sim::ControlState* control = sim::FindControl(d, list);
    if (control == nullptr || control->selection < 0) return u"";
    return control->items[control->selection];
}

int IndexOf(WindowHandle d, int list, std::u16string_view item)
{
    const std::vector<std::u16string>& items = sim::FindControl(d, list)->items;
    return static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
}

void Choose(WindowHandle d, int list, std::u16string_view item)
{
    EXPECT_TRUE(platform::ClickListItem(d, list, IndexOf(d, list, item))) << platform::ToUtf8(item);
}

// Where the sample's ink lies in the sample area.
struct Ink {
    int top = -1, bottom = -1, left = -1, right = -1;  // first and last rows and columns with ink
    int width = 0, height = 0;                          // of the area
    bool Any() const { return top >= 0; }
};

// The sample area lies inside a one-pixel border; its corner is never ink.
Ink SampleInk(WindowHandle d)
{
    const platform::Rect bounds = sim::FindControl(d, IDC_FONT_SAMPLE)->bounds;
    Ink ink;
    ink.width = bounds.Width() - 2;
    ink.height = bounds.Height() - 2;
    const std::uint32_t background = sim::ControlPixel(d, IDC_FONT_SAMPLE, 0, 0);
    for (int y = 0; y < ink.height; ++y) {
        for (int x = 0; x < ink.width; ++x) {
            if (sim::ControlPixel(d, IDC_FONT_SAMPLE, x, y) == background) continue;
            if (ink.top < 0) ink.top = y;
            ink.bottom = y;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

int SamplePaints(WindowHandle d) { return sim::FindControl(d, IDC_FONT_SAMPLE)->paints; }

TEST_F(FontChooser, OffersTheScalableHorizontalFamiliesWeightsAndSizes)
{
    FontDescription font = Font(-12, 400, u"SimSans");
    sim::QueueDialogScript([](WindowHandle d) {
        const std::vector<std::u16string> families = {u"SimSans", u"SimSerif", u"SimThin", u"Sim明朝"};
        EXPECT_EQ(sim::FindControl(d, IDC_FONT_FACE)->items, families);
        const std::vector<std::u16string>& weights = sim::FindControl(d, IDC_FONT_WEIGHT)->items;
        ASSERT_EQ(weights.size(), 10u);
        EXPECT_EQ(weights.front(), u"0");
        EXPECT_EQ(weights[4], u"400");
        EXPECT_EQ(weights.back(), u"900");
        const std::vector<std::u16string>& sizes = sim::FindControl(d, IDC_FONT_SIZE)->items;
        ASSERT_EQ(sizes.size(), 26u);
        EXPECT_EQ(sizes.front(), u"10");
        EXPECT_EQ(sizes[2], u"12");
        EXPECT_EQ(sizes.back(), u"35");
        EXPECT_EQ(sim::WindowTitle(d), u"フォント選択");
    });
    EXPECT_EQ(RunFontDialog(font), 2);
}

TEST_F(FontChooser, PreselectsWhatTheDescriptionSays)
{
    const struct {
        FontDescription font;
        std::u16string face, weight, size;
    } cases[] = {
        {Font(-12, 400, u"SimSans"), u"SimSans", u"400", u"12"},
        {Font(12, 0, u"SimSerif"), u"SimSerif", u"0", u"12"},
        {Font(-10, 900, u"Sim明朝"), u"Sim明朝", u"900", u"10"},
        {Font(35, -50, u"SimThin"), u"SimThin", u"0", u"35"},
        {Font(-9, 950, u"SimFixed"), u"", u"900", u""},
        {Font(36, 1000, u"@Sim明朝"), u"", u"", u""},
        {Font(INT_MIN, -100, u"NoSuchFamily"), u"", u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(FieldText(c.font.faceName)) + " " + std::to_string(c.font.height));
        FontDescription font = c.font;
        sim::QueueDialogScript([&c](WindowHandle d) {
            EXPECT_EQ(Selected(d, IDC_FONT_FACE), c.face);
            EXPECT_EQ(Selected(d, IDC_FONT_WEIGHT), c.weight);
            EXPECT_EQ(Selected(d, IDC_FONT_SIZE), c.size);
        });
        RunFontDialog(font);
    }
}

// OK writes -size and width 0, the weight and italic chosen, and every other
// field from the chosen family's regular style.
TEST_F(FontChooser, OkWritesTheChoiceOverTheDescription)
{
    FontDescription font = Font(12, 400, u"SimSans");
    font.width = 7;
    font.underline = 1;
    font.strikeOut = 1;
    sim::QueueDialogScript([](WindowHandle d) {
        Choose(d, IDC_FONT_FACE, u"Sim明朝");
        Choose(d, IDC_FONT_SIZE, u"24");
        Choose(d, IDC_FONT_WEIGHT, u"700");
        EXPECT_TRUE(platform::ClickControl(d, IDC_FONT_ITALIC));
        EXPECT_TRUE(platform::ClickControl(d, platform::id::Ok));
    });
    ASSERT_EQ(RunFontDialog(font), 1);
    EXPECT_EQ(font.height, -24);
    EXPECT_EQ(font.width, 0);
    EXPECT_EQ(font.weight, 700);
    EXPECT_EQ(font.italic, 1);
    EXPECT_EQ(font.underline, 0);
    EXPECT_EQ(font.strikeOut, 0);
    EXPECT_EQ(font.charSet, 128) << "the character set is not the family's";
    EXPECT_EQ(FieldText(font.faceName), u"Sim明朝");
    EXPECT_EQ(fontDialogTarget, nullptr);
}

TEST_F(FontChooser, TheItalicBoxWritesOneOrZeroWhateverCameIn)
{
    const struct {
        std::uint8_t incoming;
        bool click;
        std::uint8_t written;
    } cases[] = {{5, false, 1}, {1, true, 0}, {0, false, 0}, {0, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.incoming));
        FontDescription font = Font(-12, 400, u"SimSans", c.incoming);
        sim::QueueDialogScript([&c](WindowHandle d) {
            EXPECT_EQ(platform::GetControlCheck(d, IDC_FONT_ITALIC), c.incoming != 0 ? 1 : 0);
            if (c.click) platform::ClickControl(d, IDC_FONT_ITALIC);
            platform::ClickControl(d, platform::id::Ok);
        });
        ASSERT_EQ(RunFontDialog(font), 1);
        EXPECT_EQ(font.italic, c.written);
    }
}

TEST_F(FontChooser, CancelLeavesTheDescriptionAsItWas)
{
    const sim::DialogScript closers[] = {
        [](WindowHandle d) { platform::ClickControl(d, platform::id::Cancel); },
        [](WindowHandle) { platform::CloseMenuOrDialog(); },
        [](WindowHandle d) { platform::ClickCloseBox(d); },
    };
    for (const sim::DialogScript& close : closers) {
        const FontDescription before = Font(-12, 400, u"SimSans");
        FontDescription font = before;
        sim::QueueDialogScript([&close](WindowHandle d) {
            Choose(d, IDC_FONT_FACE, u"SimSerif");
            Choose(d, IDC_FONT_SIZE, u"30");
            platform::ClickControl(d, IDC_FONT_ITALIC);
            close(d);
        });
        EXPECT_EQ(RunFontDialog(font), 2);
        EXPECT_EQ(font, before);
    }
}

// Every change of a list or the italic box redraws the sample, which
// stands in the middle of its area.
TEST_F(FontChooser, TheSampleFollowsEveryChangeInTheMiddleOfItsArea)
{
    FontDescription font = Font(-12, 400, u"SimSans");
    sim::QueueDialogScript([](WindowHandle d) {
        EXPECT_EQ(SamplePaints(d), 1) << "the sample was not drawn once the dialog opened";
        const Ink small = SampleInk(d);
        int paints = SamplePaints(d);
        const std::function<void()> changes[] = {
            [d] { Choose(d, IDC_FONT_SIZE, u"30"); },
            [d] { Choose(d, IDC_FONT_WEIGHT, u"700"); },
            [d] { Choose(d, IDC_FONT_FACE, u"Sim明朝"); },
            [d] { platform::ClickControl(d, IDC_FONT_ITALIC); },
        };
        for (const auto& change : changes) {
            change();
            EXPECT_EQ(SamplePaints(d), paints + 1) << "a change did not redraw the sample once";
            paints = SamplePaints(d);
        }
        const Ink large = SampleInk(d);
        for (const Ink& ink : {small, large}) {
            ASSERT_TRUE(ink.Any());
            EXPECT_LE(std::abs(ink.top - (ink.height - 1 - ink.bottom)), 1) << "not centred from top to bottom";
            EXPECT_LE(std::abs(ink.left - (ink.width - 1 - ink.right)), 1) << "not centred from side to side";
        }
        EXPECT_GT(large.bottom - large.top, small.bottom - small.top) << "size 30 is no larger than 12";
    });
    RunFontDialog(font);
}

// OK is offered only for a whole choice: a selected family with a regular
// style, a weight and a size. Without one the sample stays empty, the OK
// button is grey, and an OK that gets through changes nothing.
TEST_F(FontChooser, WithoutAWholeChoiceOkIsGreyAndChangesNothing)
{
    const struct {
        const char* what;
        FontDescription font;
        std::function<void(WindowHandle)> complete;  // what makes the choice whole
    } cases[] = {
        {"size out of the list", Font(-40, 400, u"SimSans"), [](WindowHandle d) { Choose(d, IDC_FONT_SIZE, u"20"); }},
        {"weight out of the list", Font(-12, 1000, u"SimSans"),
         [](WindowHandle d) { Choose(d, IDC_FONT_WEIGHT, u"100"); }},
        {"family not installed", Font(-12, 400, u"Gone"), [](WindowHandle d) { Choose(d, IDC_FONT_FACE, u"SimSerif"); }},
        {"family without a regular style", Font(-12, 400, u"SimThin"),
         [](WindowHandle d) { Choose(d, IDC_FONT_FACE, u"SimSans"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FontDescription font = c.font;
        sim::QueueDialogScript([&c](WindowHandle d) {
            EXPECT_FALSE(platform::IsControlEnabled(d, platform::id::Ok));
            EXPECT_FALSE(SampleInk(d).Any()) << "a sample without a whole choice";
            EXPECT_FALSE(platform::ClickControl(d, platform::id::Ok));
            // The Enter key's command, as if it reached the dialog all the same.
            platform::SendWindowMessage(d, platform::wm::Command, platform::id::Ok, 0);
            EXPECT_EQ(platform::GetOpenDialog(), d) << "OK ended the dialog without a choice";
            c.complete(d);
            EXPECT_TRUE(platform::IsControlEnabled(d, platform::id::Ok));
            EXPECT_TRUE(SampleInk(d).Any());
            Choose(d, IDC_FONT_FACE, u"SimThin");
            EXPECT_FALSE(platform::IsControlEnabled(d, platform::id::Ok)) << "a family without a regular style";
            platform::SendWindowMessage(d, platform::wm::Command, platform::id::Ok, 0);
            EXPECT_EQ(platform::GetOpenDialog(), d);
        });
        EXPECT_EQ(RunFontDialog(font), 2);
        EXPECT_EQ(font, c.font);
    }
}

// The number of the ink pixels a note shows, in its text colour.
int InkOf(platform::WindowHandle note)
{
    const platform::Rect bounds = platform::GetWindowBounds(note);
    int ink = 0;
    for (int y = 0; y < bounds.Height(); ++y)
        for (int x = 0; x < bounds.Width(); ++x) ink += sim::WindowPixel(note, x, y) == 0x00000000 ? 1 : 0;
    return ink;
}

TEST_F(FontChooser, ANotesNewFontRepaintsItWithoutRefittingAndIsSaved)
{
    StartWithNotes(1);
    Note(0).text = u"abc";
    platform::InvalidateWindow(Note(0).window, true);
    platform::PumpMessages();
    const int inkBefore = InkOf(Note(0).window);
    const platform::Rect bounds = Note(0).bounds;
    const platform::FontHandle oldHandle = Note(0).fontHandle;
    sim::QueueDialogScript([](WindowHandle d) {
        Choose(d, IDC_FONT_FACE, u"SimSerif");
        Choose(d, IDC_FONT_SIZE, u"24");
        platform::ClickControl(d, platform::id::Ok);
    });
    Run(Note(0).window, CMD_NOTE_FONT, 1);
    EXPECT_EQ(Note(0).font.height, -24);
    EXPECT_EQ(FieldText(Note(0).font.faceName), u"SimSerif");
    EXPECT_NE(Note(0).fontHandle, oldHandle);
    FontDescription realised;
    EXPECT_FALSE(platform::DescribeFontObject(oldHandle, realised)) << "the old font object was kept";
    ASSERT_TRUE(platform::DescribeFontObject(Note(0).fontHandle, realised));
    EXPECT_EQ(realised.height, -24);
    EXPECT_GT(InkOf(Note(0).window), inkBefore) << "the note was not repainted larger";
    EXPECT_EQ(Note(0).bounds, bounds) << "the note was refitted";
    EXPECT_EQ(Saves(), 1);
    const std::string data = ReadBytes(DataFile());
    ASSERT_GE(data.size(), layout::Record(1));
    std::int32_t stored = 0;
    std::memcpy(&stored, data.data() + layout::Record(0) + layout::kFont, 4);
    EXPECT_EQ(stored, -24);
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(0).window);
}

// Cancelled, the commands change nothing, and the data file is written all
// the same.
TEST_F(FontChooser, CancelledFontCommandsChangeNothingButStillSave)
{
    StartWithNotes(1);
    const FontDescription noteFont = Note(0).font;
    const FontDescription defaultFont = noteSettings.defaultFont;
    const platform::FontHandle handle = Note(0).fontHandle;
    for (int i = 0; i < 2; ++i) {
        sim::QueueDialogScript([](WindowHandle d) {
            Choose(d, IDC_FONT_FACE, u"SimSerif");
            Choose(d, IDC_FONT_SIZE, u"30");
            platform::ClickControl(d, platform::id::Cancel);
        });
    }
    Run(Note(0).window, CMD_NOTE_FONT, 1);
    Run(mainWindow, CMD_DEFAULT_FONT, 1);
    ASSERT_EQ(sim::DialogsShown().size(), 2u);
    EXPECT_EQ(sim::DialogsShown()[1].result, 2);
    EXPECT_EQ(Note(0).font, noteFont);
    EXPECT_EQ(Note(0).fontHandle, handle);
    FontDescription realised;
    EXPECT_TRUE(platform::DescribeFontObject(handle, realised));
    EXPECT_EQ(noteSettings.defaultFont, defaultFont);
    EXPECT_EQ(Saves(), 2);
    EXPECT_EQ(dialogBusy, 0);
}

TEST_F(FontChooser, TheDefaultFontServesOnlyNotesMadeLater)
{
    StartWithNotes(1);
    const FontDescription before = Note(0).font;
    sim::QueueDialogScript([](WindowHandle d) {
        Choose(d, IDC_FONT_FACE, u"SimSerif");
        Choose(d, IDC_FONT_SIZE, u"20");
        Choose(d, IDC_FONT_WEIGHT, u"700");
        platform::ClickControl(d, platform::id::Ok);
    });
    Run(mainWindow, CMD_DEFAULT_FONT, 1);
    EXPECT_EQ(noteSettings.defaultFont.height, -20);
    EXPECT_EQ(Note(0).font, before);
    EXPECT_EQ(Saves(), 1);
    const std::string data = ReadBytes(DataFile());
    std::int32_t stored = 0;
    std::memcpy(&stored, data.data() + 4 + 20, 4);
    EXPECT_EQ(stored, -20);
    Run(mainWindow, CMD_NEW_NOTE, 1);
    ASSERT_EQ(noteTable.count, 2);
    EXPECT_EQ(FieldText(Note(1).font.faceName), u"SimSerif");
    EXPECT_EQ(Note(1).font.weight, 700);
}

// A note peeled off while its font dialog is open: OK then has no note to
// change, and nothing goes wrong.
TEST_F(FontChooser, ANoteGoneWhileItsDialogIsOpenIsLeftAlone)
{
    StartWithNotes(2);
    const platform::WindowHandle first = Note(0).window;
    sim::QueueDialogScript([first](WindowHandle d) {
        platform::PostWindowMessage(first, platform::wm::Close, 0, 0);
        platform::PumpMessages();
        Choose(d, IDC_FONT_SIZE, u"30");
        platform::ClickControl(d, platform::id::Ok);
    });
    Run(first, CMD_NOTE_FONT, 1);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_NE(Note(0).font.height, -30);
}

}  // namespace
