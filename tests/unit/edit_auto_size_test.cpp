// Sizing a note to its text: the line measures, the growth of a note while
// it is edited (before a key, a composition or a paste reaches the editor)
// and the exact fit outside editing. The sim's default font is 12 pixels:
// "W" and " " are 6 x 12, "付" 12 x 12.
#include "edit/auto_size.h"
#include "edit/line_sizes.h"
#include "edit_fixture.h"

namespace {

using platform::Rect;
using platform::WindowHandle;
namespace vk = platform::vk;

class Measures : public ::testing::Test {
protected:
    void SetUp() override { sim::Reset(); }
};

TEST_F(Measures, EditorLinesSplitAtCrLfOnlyAndFindTheCaretLine)
{
    struct Case {
        const char* name;
        std::u16string text;
        std::int32_t caretLine;
        std::int32_t caretWidth, width, height;
    };
    const Case cases[] = {
        {"two lines, caret on the second", u"ab\r\ncdef", 1, 24, 24, 24},
        {"caret on the first", u"ab\r\ncdef", 0, 12, 24, 24},
        {"a final CR LF adds an empty line", u"ab\r\n", 1, 0, 12, 24},
        {"empty text is one empty line", u"", 0, 0, 0, 12},
        {"empty lines are a space high", u"\r\n\r\nab", 0, 0, 12, 36},
        {"each tab reaches the next stop, once", u"a\tb\t", 0, 96, 96, 12},
        {"a lone LF or CR is a character", u"a\nb\rc", 0, 30, 30, 12},
        {"a NUL is a character", std::u16string(u"ab\0\r\ncd", 7), 0, 18, 18, 24},
        {"no line has the caret's index", u"ab", 5, 0, 12, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EditorLines lines = MeasureEditorLines(c.caretLine, 0, c.text);
        EXPECT_EQ(lines.caretLineWidth, c.caretWidth);
        EXPECT_EQ(lines.size.width, c.width);
        EXPECT_EQ(lines.size.height, c.height);
    }
}

TEST_F(Measures, TextBlocksReportTheirFirstAndLastLinesAndTheTrailingLineOnRequest)
{
    struct Case {
        const char* name;
        std::u16string text;
        bool trailing;
        std::int32_t width, height, first, last;
        bool single;
    };
    const Case cases[] = {
        {"empty", u"", false, 0, 0, 0, 0, true},
        {"empty with the trailing line", u"", true, 0, 12, 0, 0, true},
        {"one line", u"abc", true, 18, 12, 18, 18, true},
        {"two lines", u"abc\r\nde", false, 18, 24, 18, 12, false},
        {"ending in CR LF", u"abc\r\n", false, 18, 12, 18, 0, false},
        {"ending in CR LF with the trailing line", u"abc\r\n", true, 18, 24, 18, 0, false},
        {"an empty first line", u"\r\nabcd", false, 24, 24, 0, 24, false},
        {"a tab reaches the next stop, once", u"a\tb", false, 54, 12, 54, 54, true},
        {"a lone LF is one line", u"abc\ndef", true, 42, 12, 42, 42, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextBlock block = MeasureTextBlock(0, c.text, c.trailing);
        EXPECT_EQ(block.size.width, c.width);
        EXPECT_EQ(block.size.height, c.height);
        EXPECT_EQ(block.firstLineWidth, c.first);
        EXPECT_EQ(block.lastLineWidth, c.last);
        EXPECT_EQ(block.singleLine, c.single);
    }
}

// The lines kept from the text measured before are those the change left
// whole: each text measured after another gives the sizes of a text measured
// afresh (in a second font object of the same face).
TEST_F(Measures, LineSizesAfterAChangeAreThoseOfTheTextMeasuredAfresh)
{
    std::u16string longText;
    for (int n = 0; n < 400; ++n) longText += std::u16string(static_cast<std::size_t>(n % 7), u'x') + u"\r\n";
    std::u16string longChanged = longText;
    longChanged.replace(1500, 4, u"a\r\nbcdefg");
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"ab\r\ncd", u"ab\r\ncde"},        {u"ab\r\ncd", u"ab\r\nc"},
        {u"ab\r\ncd", u"a\r\nb\r\ncd"},     {u"ab\r\ncd\r\nef", u"abcd\r\nef"},
        {u"ab\r\ncd", u"ab\rcd"},            {u"ab\rcd", u"ab\r\ncd"},
        {u"ab\r\ncd", u"ab\rx\ncd"},         {u"ab\r\n", u"ab\r\nc"},
        {u"x\r\nx\r\nx", u"x\r\nx"},        {u"x\r\nx", u"x\r\nx\r\nx"},
        {u"", u"a\r\n\r\nbb"},               {u"a\r\n\r\nbb", u""},
        {u"abc\r\nde", u"abc\r\nde"},       {longText, longChanged},
        {longChanged, longText},              {longText, u"\r\n" + longText},
    };
    platform::FontDescription face;
    face.height = -12;
    const platform::FontHandle kept = platform::CreateFontObject(face);
    const platform::FontHandle fresh = platform::CreateFontObject(face);
    const auto asPairs = [](const std::vector<platform::TextSize>& sizes) {
        std::vector<std::pair<int, int>> out;
        for (const platform::TextSize& size : sizes) out.emplace_back(size.width, size.height);
        return out;
    };
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(platform::ToUtf8(before) + " -> " + platform::ToUtf8(after));
        SizesOfLines(kept, before);
        const auto changed = asPairs(SizesOfLines(kept, after));
        EXPECT_EQ(changed, asPairs(SizesOfLines(fresh, after)));
    }
    ForgetLineSizes();
}

using Fitting = EditTest;

TEST_F(Fitting, ANoteFitsItsTextExactly)
{
    struct Case {
        const char* name;
        std::optional<std::u16string> text;
        std::uint8_t italic;
        Rect fitted;
    };
    const Case cases[] = {
        {"no text: 26 x 26 at the same corner", std::nullopt, 0, {100, 100, 126, 126}},
        {"an empty text likewise", u"", 0, {100, 100, 126, 126}},
        {"a line: its extent plus 10, at least 26 high", u"abc", 0, {100, 100, 128, 126}},
        {"italic: half a space wider", u"abc", 1, {100, 100, 131, 126}},
        {"two lines", u"ab\r\ncdef", 0, {100, 100, 134, 134}},
        {"a final CR LF adds no line", u"ab\r\ncdef\r\n", 0, {100, 100, 134, 134}},
        {"a tab reaches the next stop, once", u"a\tb", 0, {100, 100, 164, 126}},
        {"wider than before", std::u16string(30, u'W'), 0, {100, 100, 290, 126}},
    };
    StartWithText(std::nullopt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::MoveAppWindow(Window(0), kFirst, true);
        Note(0).text = c.text;
        Note(0).font.italic = c.italic;
        EXPECT_EQ(FitNoteToText(Window(0)), 1);
        EXPECT_EQ(Bounds(), c.fitted);
    }
}

TEST_F(Fitting, AFittedNoteStaysUsableOnTheWorkAreaAndAFixedOneKeepsItsSize)
{
    StartWithText(std::nullopt);
    // Work area 0,0-1024,740: a 26 x 26 note keeps 26 pixels inside it.
    platform::MoveAppWindow(Window(0), Rect{1010, 720, 1170, 760}, true);
    EXPECT_EQ(FitNoteToText(Window(0)), 1);
    EXPECT_EQ(Bounds(), (Rect{998, 714, 1024, 740}));

    platform::MoveAppWindow(Window(0), kFirst, true);
    Note(0).fixed = 1;
    EXPECT_EQ(FitNoteToText(Window(0)), 0);
    PostCommand(Window(0), CMD_AUTO_SIZE, 1);
    platform::PumpMessages();
    EXPECT_EQ(Bounds(), kFirst);

    Note(0).fixed = 0;
    Note(0).text = u"memo";
    PostCommand(Window(0), CMD_AUTO_SIZE, 1);
    platform::PumpMessages();
    EXPECT_EQ(Bounds(), (Rect{100, 100, 134, 126}));
    EXPECT_EQ(Note(0).bounds, Bounds());
    EXPECT_EQ(SavesSinceStart(), 0) << "fitting alone saves nothing";
}

class Growth : public EditTest {
protected:
    // Editing the first note with the input method open or closed, the
    // editor holding `text` with the caret at its end.
    WindowHandle EditWith(std::u16string_view text, bool inputMethodOpen = false)
    {
        noteSettings.inputMode = inputMethodOpen ? 0 : 2;
        const WindowHandle editor = StartEditing();
        EXPECT_EQ(platform::IsInputMethodOpen(editor), inputMethodOpen);
        Fill(editor, text);
        return editor;
    }

    // The note, and the editor laid 5 pixels inside it.
    void ExpectNoteAndEditor(WindowHandle editor, Rect note)
    {
        EXPECT_EQ(Bounds(), note);
        EXPECT_EQ(platform::GetWindowBounds(editor),
                  (Rect{note.left + 5, note.top + 5, note.right - 5, note.bottom - 5}));
    }
};

TEST_F(Growth, AKeyGrowsTheNoteBeforeItLandsWhenTheTextWouldNoLongerFit)
{
    const std::u16string a23(23, u'a'), a24(24, u'a'), a25(25, u'a'), a15(15, u'a'), a16(16, u'a');
    struct Case {
        const char* name;
        std::u16string text;
        bool inputMethodOpen;
        std::uint32_t key;
        std::uint32_t modifiers;
        Rect grown;
    };
    // The editor is 150 x 30; a typed character counts as 110 % of "W" (6)
    // with the input method closed, of "付" (13) with it open.
    const Case cases[] = {
        {"a character that still fits", a24, false, 'B', 0, kFirst},
        {"a character that no longer fits", a25, false, 'B', 0, {100, 100, 100 + 156 + 10, 140}},
        {"the same with the input method open", a23, true, 'B', 0, {100, 100, 100 + 151 + 10, 140}},
        {"closed, 23 characters fit", a23, false, 'B', 0, kFirst},
        {"Return on one line fits", u"a", false, vk::Return, 0, kFirst},
        {"Return on two lines", u"a\r\nb", false, vk::Return, 0, {100, 100, 260, 100 + 36 + 10}},
        {"Tab adds five wide characters", a16, false, vk::Tab, 0, {100, 100, 100 + 156 + 10, 140}},
        {"Tab that fits", a15, false, vk::Tab, 0, kFirst},
        {"a punctuation key", a25, false, 190, 0, {100, 100, 100 + 156 + 10, 140}},
        {"a shifted punctuation key", a25, false, 222, platform::mod::Shift, {100, 100, 100 + 156 + 10, 140}},
        {"a character of another layout", a25, false, vk::Packet, 0, {100, 100, 100 + 156 + 10, 140}},
        {"Page Down never widens", a25, false, 34, 0, kFirst},
        {"F5 never widens", a25, false, vk::F1 + 4, 0, kFirst},
        {"Left never widens", a25, false, vk::Left, 0, kFirst},
        {"Right never widens", a25, false, vk::Right, 0, kFirst},
        {"Up never widens", a25, false, vk::Up, 0, kFirst},
        {"Down never widens", a25, false, vk::Down, 0, kFirst},
        {"Delete never widens", a25, false, vk::Delete, 0, kFirst},
        {"Backspace never widens", a25, false, vk::Back, 0, kFirst},
        {"a key with Ctrl held", a25, false, 'B', platform::mod::Control, kFirst},
    };
    StartWithText(std::nullopt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowHandle editor = EditWith(c.text, c.inputMethodOpen);
        const std::u16string before = platform::GetEditorText(editor);
        platform::DeliverKeyStroke(editor, c.key, c.modifiers);
        ExpectNoteAndEditor(editor, c.grown);
        if (c.key == vk::Return) {
            EXPECT_EQ(platform::GetEditorText(editor), before + u"\r\n") << "the key landed after the growth";
        }
        platform::SendWindowMessage(editor, platform::em::SetSelection, 0, -1);
        platform::DeliverKeyStroke(editor, vk::Delete, 0);  // nothing to store
        Press(vk::Escape);
        platform::MoveAppWindow(Window(0), kFirst, true);
    }
}

TEST_F(Growth, AKeyWhoseTextCannotBeCopiedSkipsTheGrowthAndTheNextOneGrows)
{
    StartWithText(std::nullopt);
    const WindowHandle editor = EditWith(std::u16string(25, u'a'));
    sim::FailNthEditorTextCopy(1);
    platform::DeliverKeyStroke(editor, 'B', 0);
    ExpectNoteAndEditor(editor, kFirst);
    EXPECT_EQ(platform::GetEditorTextLength(editor), 26) << "the key itself still lands";
    platform::DeliverKeyStroke(editor, 'B', 0);
    ExpectNoteAndEditor(editor, Rect{100, 100, 100 + 162 + 10, 140});
}

TEST_F(Growth, ACompositionOrAPasteGrowsTheNoteByTheTextAboutToLand)
{
    const std::u16string a22(22, u'a'), a24(24, u'a');
    struct Case {
        const char* name;
        std::u16string text;
        std::int32_t caret;  // -1: at the end
        std::u16string inserted;
        bool composed;  // else pasted
        Rect grown;
        std::u16string after;
    };
    // No margin is added here: the note grows to the text's estimate.
    const Case cases[] = {
        {"composed at the end of a line", a22, -1, u"漢字", true, {100, 100, 100 + 132 + 24 + 6, 140},
         a22 + u"漢字"},
        {"pasted text with CR LF", a24, -1, u"abc\r\ndefgh", false, {100, 100, 100 + 144 + 18 + 6, 140},
         a24 + u"abc\r\ndefgh"},
        {"pasted text with a lone LF is one measured line", a24, -1, u"abc\ndefgh", false,
         {100, 100, 100 + 144 + 54 + 6, 140}, a24 + u"abc\r\ndefgh"},
        {"the rest of the caret line moves along", a24, 12, u"xyz", false, {100, 100, 100 + 72 + 18 + 72 + 6, 140},
         std::u16string(12, u'a') + u"xyz" + std::u16string(12, u'a')},
        {"text of two lines grows it down", u"a\r\nb", -1, u"x\r\ny", false, {100, 100, 260, 100 + 24 + 24},
         u"a\r\nbx\r\ny"},
        {"a text that fits", u"ab", -1, u"cd", false, kFirst, u"abcd"},
    };
    StartWithText(std::nullopt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowHandle editor = EditWith(c.text, c.composed);
        if (c.caret >= 0)
            platform::SendWindowMessage(editor, platform::em::SetSelection, c.caret, c.caret);
        if (c.composed) {
            platform::DeliverComposition(editor, c.inserted);
        } else {
            sim::SetClipboardContent(c.inserted);
            platform::DeliverKeyStroke(editor, 'V', platform::mod::Control);
        }
        ExpectNoteAndEditor(editor, c.grown);
        EXPECT_EQ(platform::GetEditorText(editor), c.after);
        platform::SendWindowMessage(editor, platform::em::SetSelection, 0, -1);
        platform::DeliverKeyStroke(editor, vk::Delete, 0);
        Press(vk::Escape);
        platform::MoveAppWindow(Window(0), kFirst, true);
    }
}

TEST_F(Growth, ATextBeingComposedFitsBeforeItShowsWithRoomForOneMoreKey)
{
    const std::u16string a22(22, u'a'), a24(24, u'a');
    struct Case {
        const char* name;
        std::u16string text;
        std::int32_t start, end;  // the selection; -1: the end of the text
        std::u16string composing;
        Rect grown;
    };
    // The caret line with the composition, plus 110 % of "付" (13), plus the margin.
    const Case cases[] = {
        {"at the end of a long line", a22, -1, -1, u"漢字漢字", {100, 100, 100 + 132 + 48 + 13 + 10, 140}},
        {"short enough to fit", u"ab", -1, -1, u"漢", kFirst},
        {"in place of the selection", a24, 0, -1, u"漢", kFirst},
        {"on the caret's line only", u"ab\r\n" + a24, 2, 2, u"漢字", kFirst},
        {"on the second line", u"ab\r\n" + a24, -1, -1, u"漢", {100, 100, 100 + 144 + 12 + 13 + 10, 140}},
    };
    StartWithText(std::nullopt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowHandle editor = EditWith(c.text, true);
        const std::int32_t length = platform::GetEditorTextLength(editor);
        platform::SendWindowMessage(editor, platform::em::SetSelection, c.start < 0 ? length : c.start,
                                    c.end < 0 ? length : c.end);
        platform::DeliverComposing(editor, c.composing);
        ExpectNoteAndEditor(editor, c.grown);
        EXPECT_EQ(platform::GetEditorText(editor), c.text) << "the composition is not yet the editor's text";
        platform::SendWindowMessage(editor, platform::em::SetSelection, 0, -1);
        platform::DeliverKeyStroke(editor, vk::Delete, 0);
        Press(vk::Escape);
        platform::MoveAppWindow(Window(0), kFirst, true);
    }
}

TEST_F(Growth, AFixedNoteNeverGrows)
{
    StartWithText(std::nullopt, 1);
    const WindowHandle editor = EditWith(std::u16string(30, u'a'), true);
    platform::DeliverKeyStroke(editor, 'B', 0);
    platform::DeliverKeyStroke(editor, vk::Return, 0);
    platform::DeliverComposition(editor, u"漢字");
    platform::DeliverComposing(editor, u"漢字漢字漢字");
    sim::SetClipboardContent(u"a\r\nb\r\nc");
    platform::DeliverKeyStroke(editor, 'V', platform::mod::Control);
    ExpectNoteAndEditor(editor, kFirst);
    EXPECT_EQ(platform::GetEditorTextLength(editor), 30 + 1 + 2 + 2 + 7);
}

}  // namespace
