// The editor's own menu, the whole note through the clipboard, and the
// input method as editing starts and ends and as notes are made.
#include "app/note_windows.h"
#include "app/window_proc.h"
#include "edit/clipboard.h"
#include "edit_fixture.h"
#include "platform/menu.h"

namespace {

using platform::Rect;
using platform::WindowHandle;
namespace vk = platform::vk;

class EditMenu : public EditTest {
protected:
    // Opens the menu with Alt+P and chooses the item (0: none).
    void Choose(std::uint32_t id)
    {
        sim::QueueMenuAnswer(static_cast<int>(id));
        Press('P', platform::mod::Alt);
    }

    struct Shown {
        std::u16string label;
        bool grey = false;
        bool separator = false;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    static std::vector<Shown> LastMenuItems()
    {
        std::vector<Shown> out;
        for (const sim::ShownMenuItem& item : sim::MenusShown().back().items)
            out.push_back({item.label, item.grey, item.separator});
        return out;
    }
    static std::vector<bool> Greys()
    {
        std::vector<bool> out;
        for (const Shown& item : LastMenuItems())
            if (!item.separator) out.push_back(item.grey);
        return out;
    }
};

TEST_F(EditMenu, ShowsItsItemsInOrderGreyWhereTheyCannotAct)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    sim::SetClipboardContent(std::nullopt);
    Choose(0);
    EXPECT_EQ(LastMenuItems(), (std::vector<Shown>{
                                   {u"元に戻す (&U)", true, false},
                                   {u"", false, true},
                                   {u"切り取り (&T)", true, false},
                                   {u"コピー (&C)", true, false},
                                   {u"貼り付け (&P)", true, false},
                                   {u"", false, true},
                                   {u"すべて選択 (&A)", false, false},
                                   {u"", false, true},
                                   {u"編集終了 (&E)", false, false},
                               }));
    EXPECT_EQ(sim::MenusShown().back().owner, editor);
    EXPECT_EQ(sim::MenusShown().back().flags & platform::tpm::ReturnCommand, platform::tpm::ReturnCommand);
    EXPECT_EQ(sim::LiveMenuCount(), 0);

    struct Case {
        const char* name;
        void (*arrange)(WindowHandle editor);
        std::vector<bool> greys;  // undo, cut, copy, paste, select all, end
    };
    const Case cases[] = {
        {"an empty clipboard text is nothing to paste",
         [](WindowHandle) { sim::SetClipboardContent(u""); },
         {true, true, true, true, false, false}},
        {"a clipboard text to paste", [](WindowHandle) { sim::SetClipboardContent(u"x"); },
         {true, true, true, false, false, false}},
        {"a selection to cut and copy",
         [](WindowHandle e) { platform::SendWindowMessage(e, platform::em::SetSelection, 1, 3); },
         {true, false, false, false, false, false}},
        {"a change to undo", [](WindowHandle e) { platform::DeliverKeyStroke(e, 'A', 0); },
         {false, true, true, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange(editor);
        Choose(0);
        EXPECT_EQ(Greys(), c.greys);
    }
}

TEST_F(EditMenu, EachItemActsOnTheEditorsSelection)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    Choose(CMD_EDIT_SELECT_ALL);
    EXPECT_EQ(platform::GetEditorSelection(editor), (platform::TextSelection{0, 4}));
    Choose(CMD_COPY);
    EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"memo"));
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"memo")) << "the menu's copy is no whole-note command";

    platform::SendWindowMessage(editor, platform::em::SetSelection, 0, 2);
    Choose(CMD_CUT);
    EXPECT_EQ(platform::GetEditorText(editor), u"mo");
    EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"me"));
    Choose(CMD_EDIT_UNDO);
    EXPECT_EQ(platform::GetEditorText(editor), u"memo");
    Press(vk::End);
    Choose(CMD_PASTE);
    EXPECT_EQ(platform::GetEditorText(editor), u"memome");
    EXPECT_TRUE(platform::IsLiveWindow(editor));
    EXPECT_EQ(menuBusy, 0);
}

TEST_F(EditMenu, PasteFromTheMenuGrowsTheNoteBeforeTheTextLands)
{
    StartWithText(std::nullopt);
    const WindowHandle editor = StartEditing();
    Fill(editor, std::u16string(24, u'a'));
    sim::SetClipboardContent(u"abc\ndefgh");
    Choose(CMD_PASTE);
    // Estimated on the text before the paste: 24 + 9 characters and one more.
    EXPECT_EQ(Bounds(), (Rect{100, 100, 100 + 144 + 54 + 6, 140}));
    EXPECT_EQ(platform::GetEditorText(editor), std::u16string(24, u'a') + u"abc\r\ndefgh");
}

// Watches the note's messages: how many menus lived when its edit ended.
struct EndWatch {
    static inline int menusAtEnd = -1;
    static platform::LResult Proc(WindowHandle window, std::uint32_t message, platform::WParam wParam,
                                  platform::LParam lParam)
    {
        if (message == MSG_END_EDIT) menusAtEnd = sim::LiveMenuCount();
        return WindowProc(window, message, wParam, lParam);
    }
};

TEST_F(EditMenu, EndingTheEditFromTheMenuWaitsUntilTheMenuIsGone)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    Type(u"x");
    EndWatch::menusAtEnd = -1;
    ASSERT_EQ(platform::SetWindowProcedure(Window(0), &EndWatch::Proc), &WindowProc);
    Choose(CMD_EDIT_END);
    EXPECT_EQ(EndWatch::menusAtEnd, 0);
    EXPECT_FALSE(platform::IsLiveWindow(editor));
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"xmemo"));
}

TEST_F(EditMenu, AltClickOpensItWhereTheMouseIs)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    sim::QueueMenuAnswer(CMD_EDIT_SELECT_ALL);
    Hold({vk::Alt});
    sim::PointerDown(editor, {30, 20});
    sim::PointerUp(editor, {30, 20});
    Hold({});
    platform::PumpMessages();
    EXPECT_EQ(sim::MenusShown().back().at, (platform::Point{135, 125}));
    EXPECT_EQ(platform::GetEditorSelection(editor), (platform::TextSelection{0, 4}));
}

using WholeNoteClipboard = EditTest;

TEST_F(WholeNoteClipboard, CopyingANoteWithoutTextLeavesTheClipboardAlone)
{
    StartWithText(std::nullopt);
    sim::SetClipboardContent(u"kept");
    const std::optional<std::u16string> noTexts[] = {std::nullopt, u""};
    for (const std::optional<std::u16string>& text : noTexts) {
        Note(0).text = text;
        EXPECT_EQ(CopyNoteToClipboard(Window(0)), 0);
        PostCommand(Window(0), CMD_COPY, 1);
        platform::PumpMessages();
        EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"kept"));
    }
}

TEST_F(WholeNoteClipboard, PasteWithoutClipboardTextStillFitsWritesAndSaves)
{
    StartWithText(u"memo");
    sim::SetClipboardContent(std::nullopt);
    PostCommand(Window(0), CMD_PASTE, 1);
    platform::PumpMessages();
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"memo"));
    EXPECT_EQ(Bounds(), (Rect{100, 100, 134, 126}));
    EXPECT_EQ(NoteFileBytes(0), "memo");
    ExpectOnlyFileOf(0);
    EXPECT_EQ(SavesSinceStart(), 1);

    sim::SetClipboardContent(u"pasted\r\ntext");
    PostCommand(Window(0), CMD_PASTE, 1);
    platform::PumpMessages();
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"pasted\r\ntext"));
    EXPECT_EQ(Bounds(), (Rect{100, 100, 146, 134}));
    EXPECT_EQ(NoteFileBytes(0), "pasted\r\ntext");
}

TEST_F(WholeNoteClipboard, TheEditorAsksTheClipboardForNonEmptyText)
{
    sim::Reset();
    sim::SetClipboardContent(u"");
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_EQ(GetClipboardText(), std::optional<std::u16string>(u""));
    sim::SetClipboardContent(u"text");
    EXPECT_TRUE(ClipboardHasText());
    sim::SetClipboardReachable(false);
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_EQ(GetClipboardText(), std::nullopt);
}

using InputMethod = EditTest;

TEST_F(InputMethod, EditingStartsInTheModeTheSettingsSay)
{
    struct Case {
        std::int32_t inputMode;
        bool open;
        std::optional<platform::Conversion> conversion;
    };
    // The desktop's input method is open for every window at first, so
    // that closing it shows.
    const Case cases[] = {
        {0, true, platform::Conversion::Romaji},
        {1, true, platform::Conversion::Kana},
        {2, false, std::nullopt},
        {3, true, std::nullopt},  // an unknown mode leaves the input method alone
    };
    sim::SetInputMethodOpenAtFirst(true);
    StartWithText(u"memo");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inputMode);
        noteSettings.inputMode = c.inputMode;
        const WindowHandle editor = StartEditing();
        EXPECT_EQ(platform::IsInputMethodOpen(editor), c.open);
        EXPECT_EQ(sim::InputConversion(editor), c.conversion);
        Press(vk::Escape);
        EXPECT_FALSE(platform::IsInputMethodOpen(Window(0))) << "the end of editing closes it";
    }
}

TEST_F(InputMethod, ANoteStartsWithItsInputMethodClosed)
{
    sim::SetInputMethodOpenAtFirst(true);
    StartWithText(u"memo");
    EXPECT_FALSE(platform::IsInputMethodOpen(Window(0))) << "a restored note";
    ASSERT_EQ(CreateNoteWindows(platform::sw::ShowNormal), 1);
    EXPECT_FALSE(platform::IsInputMethodOpen(Window(2))) << "a new note";
    EXPECT_TRUE(platform::IsInputMethodOpen(mainWindow)) << "the desktop's state elsewhere";
}

}  // namespace
