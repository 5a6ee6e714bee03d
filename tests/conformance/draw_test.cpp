// Drawing: text extents, and fills, lines and text painted during a paint
// read back at the pixels they must set.
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/editor.h"
#include "platform/font.h"
#include "recording_window.h"

namespace conformance {
namespace {

using Drawing = PlatformTest;

constexpr Colour kBlue = 0x00FF0000;
constexpr Colour kRed = 0x000000FF;
constexpr Colour kGreen = 0x0000FF00;
constexpr Colour kYellow = 0x0000FFFF;

TEST(TextExtents, PositiveAndGrowingWithTheText)
{
    FontDescription big;
    big.height = -24;
    const FontHandle bigFont = CreateFontObject(big);
    for (const FontHandle font : {FontHandle{0}, bigFont}) {
        SCOPED_TRACE(font);
        const TextSize one = MeasureText(font, u"M");
        const TextSize three = MeasureText(font, u"MMM");
        const TextSize wide = MeasureText(font, u"付箋紙");
        EXPECT_GT(one.width, 0);
        EXPECT_GT(one.height, 0);
        EXPECT_GT(three.width, one.width);
        EXPECT_EQ(three.height, one.height) << "one line has one height";
        EXPECT_GT(wide.width, 0);
    }
    EXPECT_GT(MeasureText(bigFont, u"M").height, MeasureText(0, u"M").height) << "the font's size was not used";
    DeleteFontObject(bigFont);
}

// Paints a white window with a blue square, red and green lines drawn each
// way along a row and a column and one slanting, then reads the pixels back.
TEST_F(Drawing, FillsAndLinesSetExactlyTheirPixels)
{
    SetHandler([](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::EraseBackground) return 1;
        if (message != wm::Paint) return std::nullopt;
        const DrawContext dc = BeginPaint(window);
        FillSolidRect(dc, Rect{0, 0, 100, 60}, 0x00FFFFFF);
        FillSolidRect(dc, Rect{10, 10, 20, 20}, kBlue);
        DrawLine(dc, Point{30, 5}, Point{40, 5}, kRed);
        DrawLine(dc, Point{50, 10}, Point{50, 20}, kGreen);
        DrawLine(dc, Point{70, 10}, Point{60, 20}, kRed);
        DrawLine(dc, Point{90, 30}, Point{80, 30}, kGreen);
        DrawLine(dc, Point{30, 50}, Point{30, 40}, kRed);
        EndPaint(window, dc);
        return 0;
    });
    const WindowHandle w = MakeWindow(Rect{200, 200, 300, 260}, u"conformance draw");
    ShowAppWindow(w, sw::Show);
    UpdateAppWindow(w);
    struct Probe {
        const char* what;
        Point at;
        Colour expected;
    };
    const Probe probes[] = {
        {"fill top-left", {10, 10}, kBlue},       {"fill bottom-right", {19, 19}, kBlue},
        {"fill right edge out", {20, 15}, 0x00FFFFFF}, {"fill bottom edge out", {15, 20}, 0x00FFFFFF},
        {"line start", {30, 5}, kRed},            {"line middle", {35, 5}, kRed},
        {"line last", {39, 5}, kRed},             {"line end point left out", {40, 5}, 0x00FFFFFF},
        {"line row below", {35, 6}, 0x00FFFFFF},  {"vertical start", {50, 10}, kGreen},
        {"vertical last", {50, 19}, kGreen},      {"vertical end left out", {50, 20}, 0x00FFFFFF},
        {"diagonal start", {70, 10}, kRed},       {"diagonal step", {65, 15}, kRed},
        {"diagonal last", {61, 19}, kRed},        {"diagonal end left out", {60, 20}, 0x00FFFFFF},
        {"leftward start", {90, 30}, kGreen},     {"leftward last", {81, 30}, kGreen},
        {"leftward end left out", {80, 30}, 0x00FFFFFF}, {"upward start", {30, 50}, kRed},
        {"upward last", {30, 41}, kRed},          {"upward end left out", {30, 40}, 0x00FFFFFF},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.what);
        Colour seen = 0x12345678;
        ASSERT_TRUE(ReadWindowPixel(w, p.at, seen));
        EXPECT_EQ(seen, p.expected);
    }
    Colour unused = 0;
    EXPECT_FALSE(ReadWindowPixel(w, Point{100, 10}, unused)) << "a point outside the window was read";
}

TEST_F(Drawing, TextIsDrawnInsideItsRectangleOnly)
{
    SetHandler([](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::EraseBackground) return 1;
        if (message != wm::Paint) return std::nullopt;
        const DrawContext dc = BeginPaint(window);
        FillSolidRect(dc, Rect{0, 0, 120, 60}, 0x00FFFFFF);
        DrawTextInRect(dc, u"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\r\nMMMMMMMM\r\nMMMMMMMM\r\nMMMMMMMM", Rect{5, 5, 40, 30},
                       kBlue, 0);
        EndPaint(window, dc);
        return 0;
    });
    const WindowHandle w = MakeWindow(Rect{200, 200, 320, 260}, u"conformance text");
    ShowAppWindow(w, sw::Show);
    UpdateAppWindow(w);
    int inside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 120; ++x) {
            Colour seen = 0;
            ASSERT_TRUE(ReadWindowPixel(w, Point{x, y}, seen));
            if (seen == 0x00FFFFFF) continue;
            const bool inRect = x >= 5 && x < 40 && y >= 5 && y < 30;
            EXPECT_TRUE(inRect) << "text pixel outside its rectangle at " << x << "," << y;
            if (inRect) ++inside;
        }
    }
    EXPECT_GT(inside, 20) << "no text was drawn";
}

// A paint lays out only what can show. What it shows of a long text must be
// exactly what it shows of the part that fits: the same lines, the same
// characters, at the same places.
TEST_F(Drawing, AHugeTextShowsExactlyItsVisiblePart)
{
    std::u16string huge;
    std::u16string visible;
    for (int line = 0; line < 400; ++line) {
        std::u16string text = u"付箋紙\tline " + std::u16string(1, static_cast<char16_t>(u'A' + line % 26)) + u" ";
        for (int i = 0; i < 3000; ++i) text += static_cast<char16_t>(u'a' + (line + i) % 26);
        huge += text + u"\r\n";
        if (line < 12) visible += text.substr(0, 200) + u"\r\n";
    }
    const Rect area{2, 2, 58, 30};
    SetHandler([&](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::EraseBackground) return 1;
        if (message != wm::Paint) return std::nullopt;
        const DrawContext dc = BeginPaint(window);
        FillSolidRect(dc, Rect{0, 0, 60, 32}, 0x00FFFFFF);
        const bool whole = GetWindowBounds(window).top == 200;
        DrawTextInRect(dc, whole ? huge : visible, area, kBlue, 0);
        EndPaint(window, dc);
        return 0;
    });
    const WindowHandle all = MakeWindow(Rect{200, 200, 260, 232}, u"conformance huge");
    const WindowHandle part = MakeWindow(Rect{300, 300, 360, 332}, u"conformance part");
    for (const WindowHandle w : {all, part}) {
        ShowAppWindow(w, sw::Show);
        UpdateAppWindow(w);
    }
    int inked = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 60; ++x) {
            Colour a = 0, b = 0;
            ASSERT_TRUE(ReadWindowPixel(all, Point{x, y}, a));
            ASSERT_TRUE(ReadWindowPixel(part, Point{x, y}, b));
            ASSERT_EQ(a, b) << "at " << x << "," << y;
            if (a != 0x00FFFFFF) ++inked;
        }
    }
    EXPECT_GT(inked, 50) << "no text was drawn";
}

FontHandle MakeFont(std::u16string_view face)
{
    FontDescription description;
    description.height = -16;
    face.copy(description.faceName.data(), description.faceName.size() - 1);
    return CreateFontObject(description);
}

// The window's points, row by row from the top; a point whose device pixels
// differ (an anti-aliased edge on a scaled screen) reads as none.
std::vector<std::optional<Colour>> PointsOf(WindowHandle window, int width, int rows)
{
    std::vector<std::optional<Colour>> points;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour colour = 0;
            points.push_back(ReadWindowPixel(window, Point{x, y}, colour) ? std::optional(colour) : std::nullopt);
        }
    }
    return points;
}

// A line is as high and as wide where it is painted and where the editor
// shows it as its extent says, whatever its characters, whichever face they
// come from, and however many tabs it holds (each reaching the next tab
// stop). Three lines painted into a rectangle of their measured height show
// all of themselves and nothing of a fourth line below; each line's ink ends
// within its last character's width of its extent; the editor ends each line
// where the extents say.
TEST_F(Drawing, LinesAreAsHighAndWidePaintedAndEditedAsMeasured)
{
    const FontHandle latin = MakeFont(u"DejaVu Sans");
    const FontHandle japanese = MakeFont(u"Noto Sans CJK JP");
    struct Case {
        const char* name;
        FontHandle font;
        std::u16string lines[3];
    };
    const Case cases[] = {
        {"Latin, Latin face", latin, {u"Wg", u"jy", u"Ap"}},
        {"Japanese, Latin face", latin, {u"付箋", u"あア", u"漢字"}},
        {"mixed, Latin face", latin, {u"g付", u"Wg", u"あy"}},
        {"Latin, Japanese face", japanese, {u"Wg", u"jy", u"Ap"}},
        {"mixed, Japanese face", japanese, {u"g付", u"Wg", u"あy"}},
        {"mixed, default face", 0, {u"g付", u"Wg", u"あy"}},
        {"tabs, default face", 0, {u"a\t\t\t\tb", u"\tb", u"付箋\tb"}},
    };
    struct Painted {
        std::u16string text;
        Rect rect;
        FontHandle font;
    };
    std::map<WindowHandle, Painted> painted;
    SetHandler([&painted](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::EraseBackground) return 1;
        if (message != wm::Paint || !painted.contains(window)) return std::nullopt;
        const Painted& p = painted[window];
        const DrawContext dc = BeginPaint(window);
        FillSolidRect(dc, Rect{0, 0, 600, 400}, 0x00FFFFFF);
        DrawTextInRect(dc, p.text, p.rect, 0, p.font);
        EndPaint(window, dc);
        return 0;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string text;
        int width = 0, height = 0;
        TextSize sizes[3];
        for (int i = 0; i < 3; ++i) {
            sizes[i] = MeasureText(c.font, c.lines[i]);
            text += c.lines[i] + u"\r\n";
            width = std::max(width, sizes[i].width + 2);
            height += sizes[i].height;
        }
        const int next = MeasureText(c.font, u"Wg").height;
        // Room to the right for the editor's caret at the end of the widest
        // line, all on a screen of 400 x 300 (800 x 600 scaled by 2).
        const WindowHandle fitted = MakeWindow(Rect{10, 10, 30 + width, 10 + height + next});
        const WindowHandle all = MakeWindow(Rect{10, 150, 30 + width, 150 + height + next});
        painted[fitted] = {text, Rect{0, 0, width, height}, c.font};
        painted[all] = {text + u"Wg", Rect{0, 0, width, height + next}, c.font};
        for (const WindowHandle w : {fitted, all}) {
            ShowAppWindow(w, sw::Show);
            UpdateAppWindow(w);
        }
        const auto allPoints = PointsOf(all, width, height + next);
        const auto top = std::vector(allPoints.begin(), allPoints.begin() + width * height);
        EXPECT_EQ(PointsOf(fitted, width, height), top) << "a line was cut, or the fourth reached up";
        EXPECT_TRUE(std::any_of(allPoints.begin() + width * height, allPoints.end(),
                                [](std::optional<Colour> p) { return p != 0x00FFFFFFu; }))
            << "the fourth line was not drawn right below";

        // The editor's fourth line repeats the first, whose caret sits as
        // high in its line: the two lie the measured heights apart.
        const WindowHandle editor = CreateEditorControl(all, 139, Rect{0, 0, width + 20, 4 * height}, c.font);
        SetEditorText(editor, text + c.lines[0]);
        int lineTop = 0, firstCaretTop = 0;
        std::size_t lineEnd = 0;
        for (int i = 0; i < 4; ++i) {
            const std::u16string& line = c.lines[i % 3];
            lineEnd += line.size();
            SendWindowMessage(editor, em::SetSelection, lineEnd, static_cast<LParam>(lineEnd));
            const Point caret = GetEditorCaretPosition(editor);
            if (i == 0) firstCaretTop = caret.y;
            lineEnd += 2;
            if (i == 3) {
                EXPECT_EQ(caret.y - firstCaretTop, height) << "the editor's lines are as high";
                break;
            }
            EXPECT_NEAR(caret.x, sizes[i].width, 1) << "the editor ends line " << i << " elsewhere";
            int inkEnd = 0;
            for (int y = lineTop; y < lineTop + sizes[i].height; ++y)
                for (int x = 0; x < width; ++x)
                    if (allPoints[y * width + x] != 0x00FFFFFFu) inkEnd = std::max(inkEnd, x + 1);
            EXPECT_LE(inkEnd, sizes[i].width + 1) << "line " << i << " is painted wider than measured";
            EXPECT_GT(inkEnd, sizes[i].width - MeasureText(c.font, line.substr(line.size() - 1)).width)
                << "line " << i << " is painted narrower than measured";
            lineTop += sizes[i].height;
        }
        DestroyAppWindow(fitted);
        DestroyAppWindow(all);
    }
    DeleteFontObject(latin);
    DeleteFontObject(japanese);
}

using Painting = PlatformTest;

std::vector<std::uint32_t> PaintMessages()
{
    std::vector<std::uint32_t> out;
    for (const Received& r : Log())
        if (r.message == wm::EraseBackground || r.message == wm::Paint) out.push_back(r.message);
    return out;
}

TEST_F(Painting, UpdateErasesThenPaintsOnlyWhatWasAskedFor)
{
    const WindowHandle w = MakeWindow(Rect{200, 200, 300, 260});
    ShowAppWindow(w, sw::Show);
    ASSERT_TRUE(PumpUntil([w] { return !ReceivedBy(w, wm::Paint).empty(); })) << "a shown window never painted";
    ASSERT_FALSE(ReceivedBy(w, wm::EraseBackground).empty()) << "showing must ask for an erased repaint";
    EXPECT_NE(ReceivedBy(w, wm::EraseBackground).front().wParam, 0u) << "the erase carries no drawing context";
    PumpAWhile();

    Log().clear();
    UpdateAppWindow(w);
    EXPECT_TRUE(PaintMessages().empty()) << "a clean window was repainted";
    InvalidateWindow(w, false);
    UpdateAppWindow(w);
    EXPECT_EQ(PaintMessages(), (std::vector<std::uint32_t>{wm::Paint}));
    Log().clear();
    InvalidateWindow(w, true);
    InvalidateWindow(w, false);  // a plain repaint never cancels an erase asked for
    UpdateAppWindow(w);
    EXPECT_EQ(PaintMessages(), (std::vector<std::uint32_t>{wm::EraseBackground, wm::Paint}));
}

TEST_F(Painting, ARepaintAskedForWhilePaintingComesFromTheLoop)
{
    const WindowHandle w = MakeWindow(Rect{200, 200, 300, 260});
    ShowAppWindow(w, sw::Show);
    ASSERT_TRUE(PumpUntil([w] { return !ReceivedBy(w, wm::Paint).empty(); }));
    PumpAWhile();
    int paints = 0;
    SetHandler([&paints](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::Paint && ++paints == 1) InvalidateWindow(window, false);
        return std::nullopt;
    });
    InvalidateWindow(w, false);
    UpdateAppWindow(w);
    EXPECT_EQ(paints, 1);
    EXPECT_TRUE(PumpUntil([&paints] { return paints == 2; }));
}

TEST_F(Painting, AWindowThatAlwaysAsksForMoreDoesNotHangThePump)
{
    const WindowHandle w = MakeWindow(Rect{200, 200, 300, 260});
    SetHandler([](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::Paint) InvalidateWindow(window, false);
        return std::nullopt;
    });
    ShowAppWindow(w, sw::Show);
    PumpMessages();  // returns
    EXPECT_TRUE(PumpUntil([w] { return !ReceivedBy(w, wm::Paint).empty(); }));
}

}  // namespace
}  // namespace conformance
