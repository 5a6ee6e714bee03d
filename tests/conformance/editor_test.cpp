// The editor control a note's text is edited in: a child of a window whose
// text is reported with CR LF line breaks, whose modification flag tells the
// program's own setting from the user's changes, with selection, caret and
// undo, and whose every key, paste and composition passes the procedure the
// program installs over it before the control acts on it.
#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "platform/clipboard.h"
#include "platform/draw.h"
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/text.h"
#include "recording_window.h"

namespace conformance {
namespace {

constexpr int kEditorId = 139;

// What the procedure installed over the editor saw, and which messages it
// swallows. A window procedure is a plain function, so its state is static.
struct Subclass {
    static inline WindowProcFn control = nullptr;
    static inline std::vector<Received> seen;
    static inline std::vector<std::uint32_t> swallow;
    // The editor's text when each wm::Paste arrived, and the composition
    // result readable while each wm::ImeComposition was handled.
    static inline std::vector<std::u16string> textAtPaste;
    static inline std::vector<std::optional<std::u16string>> compositions;
    static inline std::vector<std::optional<std::u16string>> composing;

    static LResult Proc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
    {
        seen.push_back({window, message, wParam, lParam});
        if (message == wm::Paste) textAtPaste.push_back(GetEditorText(window));
        if (message == wm::ImeComposition) {
            compositions.push_back(GetCompositionResult(window));
            composing.push_back(GetComposingText(window));
        }
        if (std::find(swallow.begin(), swallow.end(), message) != swallow.end()) return 0;
        return CallWindowProcedure(control, window, message, wParam, lParam);
    }

    static void Reset()
    {
        control = nullptr;
        seen.clear();
        swallow.clear();
        textAtPaste.clear();
        compositions.clear();
        composing.clear();
    }
};

class Editor : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Subclass::Reset();
        parent_ = MakeWindow(Rect{100, 100, 300, 160});
        ShowAppWindow(parent_, sw::ShowNormal);
        editor_ = CreateEditorControl(parent_, kEditorId, Rect{5, 5, 195, 55}, 0);
        ASSERT_NE(editor_, 0u);
        PumpMessages();
    }

    void TearDown() override
    {
        Subclass::Reset();
        PlatformTest::TearDown();
    }

    void Subclassed()
    {
        Subclass::control = SetWindowProcedure(editor_, &Subclass::Proc);
        ASSERT_NE(Subclass::control, nullptr);
    }

    void Type(std::uint32_t key, std::uint32_t modifiers = 0) { DeliverKeyStroke(editor_, key, modifiers); }

    std::vector<std::uint32_t> SeenMessages(std::initializer_list<std::uint32_t> numbers) const
    {
        std::vector<std::uint32_t> out;
        for (const Received& r : Subclass::seen)
            if (std::find(numbers.begin(), numbers.end(), r.message) != numbers.end()) out.push_back(r.message);
        return out;
    }

    WindowHandle parent_ = 0;
    WindowHandle editor_ = 0;
};

TEST_F(Editor, IsAChildThatLiesInItsParentAndEndsAfterIt)
{
    EXPECT_EQ(GetParentWindow(editor_), parent_);
    EXPECT_EQ(GetParentWindow(parent_), 0u);
    EXPECT_EQ(GetWindowBounds(editor_), (Rect{105, 105, 295, 155}));
    EXPECT_EQ(GetClientRect(editor_), (Rect{0, 0, 190, 50}));

    EXPECT_TRUE(MoveChildWindow(editor_, Rect{5, 5, 245, 75}, true));
    EXPECT_EQ(GetClientRect(editor_), (Rect{0, 0, 240, 70}));
    EXPECT_FALSE(MoveChildWindow(parent_, Rect{0, 0, 50, 50}, true)) << "a top-level window is no child";
    ASSERT_TRUE(MoveAppWindow(parent_, Rect{150, 120, 450, 220}, true));
    EXPECT_TRUE(PumpUntil([&] { return GetWindowBounds(editor_) == Rect{155, 125, 395, 195}; }))
        << "the child follows its parent";

    bool editorAliveInParentDestroy = false;
    SetHandler([&](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (window == parent_ && message == wm::Destroy)
            editorAliveInParentDestroy = IsLiveWindow(editor_) && GetParentWindow(editor_) == parent_;
        return std::nullopt;
    });
    DestroyAppWindow(parent_);
    EXPECT_TRUE(editorAliveInParentDestroy) << "the parent's handler can still read its editor";
    EXPECT_FALSE(IsLiveWindow(editor_));
}

TEST_F(Editor, ReportsItsTextWithCrLfLineBreaks)
{
    struct Case {
        const char* name;
        std::u16string set;
        std::u16string reported;
    };
    const Case cases[] = {
        {"CR LF stays", u"one\r\ntwo\r\n", u"one\r\ntwo\r\n"},
        {"a lone LF becomes CR LF", u"one\ntwo\n\nthree", u"one\r\ntwo\r\n\r\nthree"},
        {"a lone CR becomes CR LF", u"one\rtwo", u"one\r\ntwo"},
        {"Japanese and tabs", u"付箋紙\tメモ\r\n二行目", u"付箋紙\tメモ\r\n二行目"},
        {"empty", u"", u""},
        {"a leading U+FEFF", u"\uFEFFab", u"\uFEFFab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetEditorText(editor_, c.set);
        EXPECT_EQ(ToUtf8(GetEditorText(editor_)), ToUtf8(c.reported));
        EXPECT_EQ(GetEditorTextLength(editor_), static_cast<std::int32_t>(c.reported.size()));
        EXPECT_FALSE(IsEditorModified(editor_)) << "the program's own text is no change of the user's";
        EXPECT_FALSE(EditorCanUndo(editor_));
        EXPECT_EQ(GetEditorSelection(editor_), (TextSelection{0, 0})) << "the caret goes to the start";
    }
}

TEST_F(Editor, TheModificationFlagIsSetByTheUserAndClearedOnlyBySettingTheText)
{
    SetEditorText(editor_, u"memo");
    Type('A');
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "amemo");
    EXPECT_TRUE(IsEditorModified(editor_));

    SetEditorText(editor_, u"memo");
    EXPECT_FALSE(IsEditorModified(editor_));
    Type('A');
    Type(vk::Back);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "memo");
    EXPECT_TRUE(IsEditorModified(editor_)) << "typing and deleting it again is still a change";

    SetEditorText(editor_, u"memo");
    Type(vk::Delete);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "emo");
    EXPECT_TRUE(IsEditorModified(editor_));

    SetEditorText(editor_, u"memo");
    Type(vk::Right);
    Type(vk::End);
    EXPECT_FALSE(IsEditorModified(editor_)) << "moving the caret changes nothing";
}

TEST_F(Editor, TypingInsertsAtTheCaretAndReturnStartsALine)
{
    SetEditorText(editor_, u"ab");
    Type(vk::End);
    Type(vk::Return);
    Type('C', mod::Shift);
    Type(vk::Tab);
    Type('1');
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "ab\r\nC\t1");
    EXPECT_EQ(GetEditorSelection(editor_), (TextSelection{7, 7}));
    EXPECT_EQ(GetEditorCaretLine(editor_), 1);
    Type(vk::Home);
    EXPECT_EQ(GetEditorSelection(editor_), (TextSelection{4, 4}));
    Type(vk::Back);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "abC\t1") << "one Back takes the whole line break";
}

// The text read between edits follows each one: typing, joining and
// splitting lines, typing over a selection across a line break, pastes of
// lines and of a NUL, undo and a new text.
TEST_F(Editor, TheTextReadAfterEachEditHoldsIt)
{
    const auto select = [this](WParam from, LParam to) { SendWindowMessage(editor_, em::SetSelection, from, to); };
    const auto paste = [this](std::u16string text) {
        ASSERT_TRUE(SetClipboardText(text));
        PumpMessages();
        SendWindowMessage(editor_, wm::Paste, 0, 0);
    };
    struct Step {
        const char* name;
        std::function<void()> act;
        std::u16string text;
        std::int32_t caretLine;
    };
    const Step steps[] = {
        {"set", [&] { SetEditorText(editor_, u"one\r\ntwo\r\nthree"); }, u"one\r\ntwo\r\nthree", 0},
        {"typed at the end", [&] { select(15, 15); Type('X'); }, u"one\r\ntwo\r\nthreex", 2},
        {"a line joined", [&] { select(5, 5); Type(vk::Back); }, u"onetwo\r\nthreex", 0},
        {"a line split", [&] { Type(vk::Return); }, u"one\r\ntwo\r\nthreex", 1},
        {"typed over a line break", [&] { select(2, 7); Type('Z'); }, u"onzo\r\nthreex", 0},
        {"lines pasted", [&] { select(4, 4); paste(u"a\r\nb\r\n"); }, u"onzoa\r\nb\r\n\r\nthreex", 2},
        {"undone", [&] { SendWindowMessage(editor_, wm::Undo, 0, 0); }, u"onzo\r\nthreex", 0},
        {"a NUL pasted", [&] { select(0, 0); paste(std::u16string(u"\0\r\n", 3)); },
         std::u16string(u"\0\r\nonzo\r\nthreex", 15), 1},
        {"typed after it", [&] { Type('Q'); }, std::u16string(u"\0\r\nqonzo\r\nthreex", 16), 1},
        {"a new text", [&] { SetEditorText(editor_, u"\r\n\r\n"); }, u"\r\n\r\n", 0},
        {"typed into its middle", [&] { select(2, 2); Type('M'); }, u"\r\nm\r\n", 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        PumpMessages();
        EXPECT_EQ(GetEditorText(editor_), step.text);
        EXPECT_EQ(GetEditorTextLength(editor_), static_cast<std::int32_t>(step.text.size()));
        EXPECT_EQ(GetEditorCaretLine(editor_), step.caretLine);
    }
}

TEST_F(Editor, SelectionCaretLineAndCaretPosition)
{
    SetEditorText(editor_, u"WW\r\nWWWW\r\n");
    SendWindowMessage(editor_, em::SetSelection, 1, 6);
    EXPECT_EQ(GetEditorSelection(editor_), (TextSelection{1, 6}));
    EXPECT_EQ(GetEditorCaretLine(editor_), 1) << "the caret is at the selection's end";
    SendWindowMessage(editor_, em::SetSelection, 0, -1);
    EXPECT_EQ(GetEditorSelection(editor_), (TextSelection{0, 10}));
    EXPECT_EQ(GetEditorCaretLine(editor_), 2) << "the empty line after the last break";

    const auto caretAt = [this](WParam position) {
        SendWindowMessage(editor_, em::SetSelection, position, static_cast<LParam>(position));
        return GetEditorCaretPosition(editor_);
    };
    const Point start = caretAt(0);
    const Point afterOne = caretAt(1);
    const Point afterTwo = caretAt(2);
    const Point secondLine = caretAt(4);
    const Point secondLineEnd = caretAt(8);
    EXPECT_EQ(GetEditorCaretLine(editor_), 1);
    EXPECT_EQ(afterOne.y, start.y);
    EXPECT_GT(afterOne.x, start.x);
    // The caret moves by the text's extent in the editor's font; a desktop
    // font may place glyphs at fractions of a pixel, so each position may be
    // rounded either way.
    const auto width = [](std::u16string_view text) { return MeasureText(0, text).width; };
    EXPECT_NEAR(afterOne.x - start.x, width(u"W"), 1);
    EXPECT_NEAR(afterTwo.x - start.x, width(u"WW"), 1);
    EXPECT_EQ(secondLine.x, start.x);
    EXPECT_GT(secondLine.y, start.y);
    EXPECT_NEAR(secondLineEnd.x - secondLine.x, width(u"WWWW"), 1);
}

TEST_F(Editor, UndoTakesTheLastChangeBackAndStillCountsAsAChange)
{
    SetEditorText(editor_, u"memo");
    EXPECT_FALSE(EditorCanUndo(editor_));
    Type('A');
    EXPECT_TRUE(EditorCanUndo(editor_));
    SendWindowMessage(editor_, wm::Undo, 0, 0);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "memo");
    EXPECT_TRUE(IsEditorModified(editor_));
}

TEST_F(Editor, CutCopyAndPasteGoThroughTheClipboard)
{
    SetEditorText(editor_, u"hello");
    SendWindowMessage(editor_, em::SetSelection, 0, 2);
    SendWindowMessage(editor_, wm::Copy, 0, 0);
    PumpMessages();
    EXPECT_EQ(GetClipboardText(), std::optional<std::u16string>(u"he"));
    EXPECT_FALSE(IsEditorModified(editor_)) << "copying changes nothing";

    SendWindowMessage(editor_, wm::Cut, 0, 0);
    PumpMessages();
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "llo");
    EXPECT_TRUE(IsEditorModified(editor_));

    ASSERT_TRUE(SetClipboardText(u"a\nb"));
    PumpMessages();
    SendWindowMessage(editor_, em::SetSelection, 3, 3);
    SendWindowMessage(editor_, wm::Paste, 0, 0);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "lloa\r\nb") << "a pasted lone LF is a line break";
}

// NULs and a leading U+FFFE are text like any other; a typed U+2400 stays one.
TEST_F(Editor, NulsGoThroughCopyTypingAndPasteWhole)
{
    SetEditorText(editor_, std::u16string(u"\uFFFEa\0b", 4));
    SendWindowMessage(editor_, em::SetSelection, 0, -1);
    SendWindowMessage(editor_, wm::Copy, 0, 0);
    PumpMessages();
    EXPECT_EQ(GetClipboardText(), std::optional<std::u16string>(std::u16string(u"\uFFFEa\0b", 4)));
    SendWindowMessage(editor_, em::SetSelection, 3, 3);
    SendWindowMessage(editor_, wm::Char, 0x2400, 0);
    SendWindowMessage(editor_, wm::Paste, 0, 0);
    EXPECT_EQ(GetEditorText(editor_), std::u16string(u"\uFFFEa\0\u2400\uFFFEa\0bb", 9));
}

TEST_F(Editor, TheKeyboardSelectsAllCutsCopiesAndUndoesWithCtrl)
{
    SetEditorText(editor_, u"memo");
    Type('A', mod::Control);
    EXPECT_EQ(GetEditorSelection(editor_), (TextSelection{0, 4}));
    Type('C', mod::Control);
    PumpMessages();
    EXPECT_EQ(GetClipboardText(), std::optional<std::u16string>(u"memo"));
    EXPECT_FALSE(IsEditorModified(editor_));
    SendWindowMessage(editor_, em::SetSelection, 0, 2);
    Type('X', mod::Control);
    PumpMessages();
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "mo");
    EXPECT_EQ(GetClipboardText(), std::optional<std::u16string>(u"me"));
    Type('Z', mod::Control);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "memo");
}

TEST_F(Editor, TheInstalledProcedureSeesEveryKeyBeforeTheControl)
{
    SetEditorText(editor_, u"x");
    Subclassed();
    Type('A');
    EXPECT_EQ(SeenMessages({wm::KeyDown, wm::Char, wm::KeyUp}),
              (std::vector<std::uint32_t>{wm::KeyDown, wm::Char, wm::KeyUp}));
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "ax") << "a key passed on types";

    Subclass::seen.clear();
    Type('P', mod::Alt);
    EXPECT_EQ(SeenMessages({wm::SysKeyDown, wm::SysChar, wm::SysKeyUp}),
              (std::vector<std::uint32_t>{wm::SysKeyDown, wm::SysChar, wm::SysKeyUp}));
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "ax") << "Alt+P types nothing";

    Subclass::seen.clear();
    Subclass::swallow = {wm::KeyDown, wm::Char};
    Type('B');
    Type(vk::Delete);
    Type(vk::Return);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "ax") << "a swallowed key changes nothing";
    EXPECT_EQ(SeenMessages({wm::KeyDown}).size(), 3u);
}

TEST_F(Editor, EveryPasteReachesTheProcedureBeforeTheControlPastes)
{
    SetEditorText(editor_, u"x");
    Subclassed();
    ASSERT_TRUE(SetClipboardText(u"clip"));
    PumpMessages();
    Type('V', mod::Control);
    EXPECT_EQ(Subclass::textAtPaste, (std::vector<std::u16string>{u"x"})) << "the keyboard's paste is wm::Paste";
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "clipx");

    Subclass::swallow = {wm::Paste};
    Type('V', mod::Control);
    SendWindowMessage(editor_, wm::Paste, 0, 0);
    EXPECT_EQ(Subclass::textAtPaste.size(), 3u);
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "clipx") << "a swallowed paste inserts nothing";
}

TEST_F(Editor, AFinishedCompositionPassesTheProcedureWithItsResult)
{
    SetEditorText(editor_, u"x");
    Subclassed();
    EXPECT_EQ(GetCompositionResult(editor_), std::nullopt) << "no composition is being handled";
    DeliverComposition(editor_, u"漢字");
    const std::vector<Received> compositions = [] {
        std::vector<Received> out;
        for (const Received& r : Subclass::seen)
            if (r.message == wm::ImeComposition) out.push_back(r);
        return out;
    }();
    ASSERT_EQ(compositions.size(), 1u);
    EXPECT_NE(compositions[0].lParam & gcs::ResultString, 0);
    ASSERT_EQ(Subclass::compositions.size(), 1u);
    EXPECT_EQ(Subclass::compositions[0], std::optional<std::u16string>(u"漢字"));
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "漢字x");
    EXPECT_TRUE(IsEditorModified(editor_));
    EXPECT_EQ(GetCompositionResult(editor_), std::nullopt);

    Subclass::swallow = {wm::ImeComposition};
    DeliverComposition(editor_, u"付箋");
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "漢字x") << "a swallowed composition inserts nothing";
}

// What is still being composed passes the procedure before the control
// shows it, and is not the editor's text until it is finished.
TEST_F(Editor, ACompositionInProgressPassesTheProcedureWithItsText)
{
    SetEditorText(editor_, u"x");
    Subclassed();
    EXPECT_EQ(GetComposingText(editor_), std::nullopt) << "no composition is being handled";
    DeliverComposing(editor_, u"かん");
    ASSERT_EQ(SeenMessages({wm::ImeComposition}).size(), 1u);
    EXPECT_EQ(Subclass::seen.back().lParam, gcs::CompositionString);
    EXPECT_EQ(Subclass::composing, (std::vector<std::optional<std::u16string>>{u"かん"}));
    EXPECT_EQ(Subclass::compositions, (std::vector<std::optional<std::u16string>>{std::nullopt}));
    EXPECT_EQ(GetEditorText(editor_), u"x");
    EXPECT_FALSE(IsEditorModified(editor_));
    EXPECT_EQ(GetComposingText(editor_), std::nullopt);
    DeliverComposition(editor_, u"漢");
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "漢x");
}

TEST_F(Editor, TakesTheKeyboardFocusWithItsParentsActivation)
{
    SetKeyboardFocus(editor_);
    EXPECT_TRUE(PumpUntil([&] { return GetKeyboardFocus() == editor_; }));
    EXPECT_EQ(GetForegroundAppWindow(), parent_);
}

TEST_F(Editor, NoKeyOrButtonTravelsOnToTheParent)
{
    SetEditorText(editor_, u"x");
    Subclassed();
    Subclass::swallow = {wm::KeyDown, wm::Char};
    Type('B');
    Subclass::swallow.clear();
    Type(vk::F1);
    Type(vk::Left, mod::Alt);
    Type('Q', mod::Control);
    SendWindowMessage(editor_, wm::RightButtonDown, 0, PackPoint(10, 10));
    const auto parentHeard = [this] {
        std::vector<std::uint32_t> out;
        for (const Received& r : Log())
            if (r.window == parent_ && r.message >= wm::KeyDown && r.message <= wm::SysChar) out.push_back(r.message);
        return out;
    };
    EXPECT_EQ(parentHeard(), std::vector<std::uint32_t>{}) << "keys the editor swallows or has no use for stay there";
    EXPECT_EQ(SeenMessages({wm::KeyDown}).size(), 3u) << "B, F1 and Ctrl+Q reached the editor";
    EXPECT_EQ(ToUtf8(GetEditorText(editor_)), "x");
}

}  // namespace
}  // namespace conformance
