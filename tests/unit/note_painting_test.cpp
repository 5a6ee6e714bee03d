// How a note looks, pixel by pixel: the derived colours, the frame and grip
// lines with their end points left out, the flash, the erase step, and the
// text (inset, clipped, tabs expanded, "&" as itself).
#include "note_fixture.h"

namespace {

using platform::Rect;

constexpr std::uint32_t kPaper = 0x00D0FFFF;  // palette colour 0
constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr int W = 60;
constexpr int H = 40;

std::uint32_t Rgb(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}

TEST(NoteColours, DerivedColoursWorkChannelByChannel)
{
    struct Case {
        std::uint32_t base, lightened, shade64, shade8, shade51, tint;
    };
    const Case cases[] = {
        {kPaper, Rgb(255, 255, 231), Rgb(191, 191, 144), Rgb(247, 247, 200), Rgb(204, 204, 157), kWhite},
        {kBlack, Rgb(127, 127, 127), kBlack, kBlack, kBlack, Rgb(64, 64, 64)},
        {kWhite, kWhite, Rgb(191, 191, 191), Rgb(247, 247, 247), Rgb(204, 204, 204), kWhite},
        {Rgb(10, 100, 200), Rgb(132, 177, 227), Rgb(0, 36, 136), Rgb(2, 92, 192), Rgb(0, 49, 149), Rgb(74, 164, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        EXPECT_EQ(LightenColor(c.base), c.lightened);
        EXPECT_EQ(ShadeColor(c.base, 64), c.shade64);
        EXPECT_EQ(ShadeColor(c.base, 8), c.shade8);
        EXPECT_EQ(ShadeColor(c.base, 51), c.shade51);
        EXPECT_EQ(TintColor(c.base), c.tint);
    }
}

// What a probe expects to see: a named colour of the note's palette.
enum class Ink { Fill, Base, Black, Shade64, Shade8, Shade51, Tint };

struct Probe {
    const char* what;
    int x, y;
    Ink ink;
};

// Frame and grip of a W x H note. The grip lines run from (W-1, H-d) to
// (W-d, H-1); the frame, drawn after them, covers their first two pixels and
// the one on the row above the bottom.
const Probe kFrameProbes[] = {
    {"outer right, top end", W - 1, 0, Ink::Black},  // outer top stops short of it
    {"outer right", W - 1, 20, Ink::Black},
    {"outer bottom, left end", 0, H - 1, Ink::Black},  // outer left stops short of it
    {"outer bottom, right end", W - 1, H - 1, Ink::Black},
    {"outer left", 0, 20, Ink::Base},
    {"outer top", 30, 0, Ink::Base},
    {"outer top-left corner", 0, 0, Ink::Base},
    {"inner right", W - 2, 20, Ink::Shade64},
    {"inner right, top end", W - 2, 1, Ink::Shade64},  // inner top stops short of it
    {"inner bottom", 30, H - 2, Ink::Shade64},
    {"inner bottom, left end", 1, H - 2, Ink::Shade64},  // inner left stops short of it
    {"inner left", 1, 20, Ink::Tint},
    {"inner top", 30, 1, Ink::Tint},
    {"inner top-left corner", 1, 1, Ink::Tint},
    {"inside", 30, 20, Ink::Fill},
};

const Probe kGripProbes[] = {
    {"d=5", W - 3, H - 3, Ink::Shade64},
    {"d=6", W - 3, H - 4, Ink::Shade8},
    {"d=6 next", W - 4, H - 3, Ink::Shade8},
    {"d=8", W - 5, H - 4, Ink::Shade51},
    {"d=8 last", W - 6, H - 3, Ink::Shade51},
    {"d=9", W - 5, H - 5, Ink::Shade64},
    {"d=10", W - 6, H - 5, Ink::Shade8},
    {"d=12", W - 6, H - 7, Ink::Shade51},
    {"d=13", W - 3, H - 11, Ink::Shade64},
    {"d=14 first visible", W - 3, H - 12, Ink::Shade8},
    {"d=14 last visible", W - 12, H - 3, Ink::Shade8},
    {"past d=14", W - 13, H - 3, Ink::Fill},
    {"no d=7 line", W - 3, H - 5, Ink::Fill},
    {"no d=11 line", W - 3, H - 9, Ink::Fill},
    {"above the grip", W - 3, H - 15, Ink::Fill},
};

class NotePainting : public NoteTest {
protected:
    void ExpectProbes(const Probe* probes, std::size_t n, std::uint32_t base, std::uint32_t fill)
    {
        for (std::size_t i = 0; i < n; ++i) {
            const Probe& p = probes[i];
            SCOPED_TRACE(p.what);
            EXPECT_EQ(Pixel(0, p.x, p.y), Colour(p.ink, base, fill)) << "at " << p.x << "," << p.y;
        }
    }

    static std::uint32_t Colour(Ink ink, std::uint32_t base, std::uint32_t fill)
    {
        switch (ink) {
        case Ink::Fill: return fill;
        case Ink::Base: return base;
        case Ink::Black: return kBlack;
        case Ink::Shade64: return ShadeColor(base, 64);
        case Ink::Shade8: return ShadeColor(base, 8);
        case Ink::Shade51: return ShadeColor(base, 51);
        case Ink::Tint: return TintColor(base);
        }
        return 0;
    }

    void Repaint()
    {
        platform::InvalidateWindow(Window(0), true);
        platform::UpdateAppWindow(Window(0));
    }
};

TEST_F(NotePainting, FrameAndGripLinesOnThreeBackgrounds)
{
    for (const std::uint32_t base : {kPaper, kBlack, kWhite}) {
        SCOPED_TRACE(base);
        StartWith({ShownNote(Rect{100, 100, 100 + W, 100 + H}, base)});
        ExpectProbes(kFrameProbes, std::size(kFrameProbes), base, base);
        ExpectProbes(kGripProbes, std::size(kGripProbes), base, base);
        ShutdownApp();
        sim::Reset();
        ResetProgramState();
        sim::SetModulePath(platform::FromUtf8(folder_.string() + "/cevelmo"));
    }
}

TEST_F(NotePainting, WorkedExampleColoursOfPaletteColourZero)
{
    StartWith({ShownNote(Rect{100, 100, 100 + W, 100 + H}, kPaper)});
    EXPECT_EQ(Pixel(0, 30, 20), Rgb(255, 255, 208));
    EXPECT_EQ(Pixel(0, W - 3, H - 3), Rgb(191, 191, 144));
    EXPECT_EQ(Pixel(0, W - 3, H - 4), Rgb(247, 247, 200));
    EXPECT_EQ(Pixel(0, W - 5, H - 4), Rgb(204, 204, 157));
    EXPECT_EQ(Pixel(0, 1, 20), Rgb(255, 255, 255));
    flashing = true;
    Repaint();
    EXPECT_EQ(Pixel(0, 30, 20), Rgb(255, 255, 231));
}

TEST_F(NotePainting, FlashLightensOnlyTheFill)
{
    StartWith({ShownNote(Rect{100, 100, 100 + W, 100 + H}, kBlack)});
    flashing = true;
    Repaint();
    const std::uint32_t light = Rgb(127, 127, 127);
    ExpectProbes(kFrameProbes, std::size(kFrameProbes), kBlack, light);
    ExpectProbes(kGripProbes, std::size(kGripProbes), kBlack, light);
}

TEST_F(NotePainting, GripGoesForAFixedOrEditedNoteAndComesBack)
{
    StartWith({ShownNote(Rect{100, 100, 100 + W, 100 + H}, kPaper)});
    const std::uint32_t grip = ShadeColor(kPaper, 64);
    ASSERT_EQ(Pixel(0, W - 3, H - 3), grip);
    Note(0).fixed = 1;
    Repaint();
    EXPECT_EQ(Pixel(0, W - 3, H - 3), kPaper);
    EXPECT_EQ(Pixel(0, W - 2, 20), grip) << "the frame is always drawn";
    Note(0).fixed = 0;
    Note(0).editWindow = mainWindow;  // any open editor
    Repaint();
    EXPECT_EQ(Pixel(0, W - 3, H - 3), kPaper);
    Note(0).editWindow = 0;
    Repaint();
    EXPECT_EQ(Pixel(0, W - 3, H - 3), grip);
}

TEST_F(NotePainting, EraseUsesTheBackgroundColourEvenWhileFlashing)
{
    StartWith({ShownNote(Rect{100, 100, 100 + W, 100 + H}, kBlack)});
    flashing = true;
    const platform::WindowHandle note = Window(0);
    const platform::DrawContext dc = platform::BeginPaint(note);
    platform::FillSolidRect(dc, Rect{0, 0, W, H}, kWhite);
    EXPECT_EQ(platform::SendWindowMessage(note, platform::wm::EraseBackground, dc, 0), 1);
    for (const platform::Point p : {platform::Point{0, 0}, {30, 20}, {W - 1, H - 1}}) EXPECT_EQ(Pixel(0, p.x, p.y), kBlack);
}

// The sim's font is 12 pixels high and 6 wide; a glyph is its cell filled in
// the text colour, inset by one pixel. The text starts at (5, 5).
class NoteText : public NotePainting {
protected:
    void PaintText(const std::u16string& text, Rect bounds = Rect{100, 100, 220, 140})
    {
        NoteRecord note = ShownNote(bounds, kPaper);
        note.textColor = kBlack;
        StartWith({note});
        Note(0).text = text;
        Repaint();
    }
    bool Inked(int x, int y) { return Pixel(0, x, y) == kBlack; }
};

TEST_F(NoteText, AmpersandAndNulAreDrawnAsThemselves)
{
    PaintText(std::u16string(u"A&B\0C", 5));
    EXPECT_TRUE(Inked(7, 10)) << "A";
    EXPECT_TRUE(Inked(13, 10)) << "& in the second cell";
    EXPECT_TRUE(Inked(19, 10)) << "B in the third cell";
    EXPECT_TRUE(Inked(25, 10)) << "the NUL in the fourth";
    EXPECT_TRUE(Inked(31, 10)) << "and the text after it";
    EXPECT_FALSE(Inked(5, 10)) << "cell edge";
}

TEST_F(NoteText, TabMovesToTheNextStopOfEightCharacterWidths)
{
    PaintText(u"A\tB");
    EXPECT_TRUE(Inked(7, 10));
    for (int x = 12; x < 53; ++x) EXPECT_FALSE(Inked(x, 10)) << x;
    EXPECT_TRUE(Inked(55, 10)) << "B at 5 + 48";
}

TEST_F(NoteText, LongLinesAreCutAtTheInsetAndNeverWrap)
{
    PaintText(std::u16string(30, u'M') + u"\r\nM\r\nM\r\nM");
    EXPECT_TRUE(Inked(114, 10)) << "last column inside the text rectangle";
    EXPECT_FALSE(Inked(115, 10)) << "first column outside it";
    EXPECT_TRUE(Inked(7, 22)) << "second line";
    EXPECT_FALSE(Inked(13, 22)) << "the first line wrapped";
    EXPECT_TRUE(Inked(7, 34)) << "third line, last row inside";
    EXPECT_FALSE(Inked(7, 35)) << "third line below the text rectangle";
}

// A note paints the lines and characters that can show; a text of millions
// of characters must look exactly like the part of it that fits.
TEST_F(NoteText, AHugeTextLooksLikeItsFirstScreenful)
{
    std::u16string huge;
    for (int line = 0; line < 20000; ++line) {
        huge += u"line " + std::u16string(1, static_cast<char16_t>(u'A' + line % 26)) + u"\t";
        huge += std::u16string(100, static_cast<char16_t>(u'a' + line % 26)) + u"\r\n";
    }
    std::u16string visible;
    for (int line = 0; line < 4; ++line)
        visible += u"line " + std::u16string(1, static_cast<char16_t>(u'A' + line)) + u"\t" +
                   std::u16string(20, static_cast<char16_t>(u'a' + line)) + u"\r\n";
    auto pixels = [this] {
        std::vector<std::uint32_t> all;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x) all.push_back(Pixel(0, x, y));
        return all;
    };
    PaintText(visible);
    const std::vector<std::uint32_t> expected = pixels();
    EXPECT_TRUE(Inked(7, 10));
    for (const std::u16string& text : {huge, visible + u'\0' + huge}) {
        Note(0).text = text;
        Repaint();
        EXPECT_EQ(pixels(), expected);
    }
}

TEST_F(NoteText, NoTextShowsOnlyFillGripAndFrame)
{
    PaintText(u"");
    for (int x = 2; x < 100; ++x) EXPECT_FALSE(Inked(x, 10)) << x;
    EXPECT_EQ(Pixel(0, 117, 37), ShadeColor(kPaper, 64));
}

}  // namespace
