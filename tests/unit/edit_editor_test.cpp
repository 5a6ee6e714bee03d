// Editing a note in place: the editor over the note, the end of editing and
// what it stores, the gestures in the editor, and typed text kept however
// the note or the program goes while it is edited.
#include <filesystem>

#include "app/window_proc.h"
#include "edit_fixture.h"
#include "store/text_files.h"

namespace {

using platform::Rect;
using platform::WindowHandle;
namespace vk = platform::vk;
namespace wm = platform::wm;

using EditMode = EditTest;

TEST_F(EditMode, TheEditorLiesOverTheNoteInItsFontWithItsTextAndTheKeyboard)
{
    StartWithText(u"付箋\r\nmemo");
    const WindowHandle editor = StartEditing();
    ASSERT_NE(editor, 0u);
    EXPECT_EQ(platform::GetParentWindow(editor), Window(0));
    EXPECT_EQ(platform::GetWindowBounds(editor), (Rect{105, 105, 255, 135}));
    EXPECT_EQ(platform::GetEditorText(editor), u"付箋\r\nmemo");
    EXPECT_FALSE(platform::IsEditorModified(editor));
    EXPECT_EQ(Focus(), editor);
    EXPECT_EQ(platform::GetForegroundAppWindow(), Window(0));
    // The note's 12-pixel font: the second line's end lies 4 x 6 pixels in.
    EXPECT_EQ(platform::GetEditorCaretPosition(editor), (platform::Point{0, 0}));
    Press(vk::Down);
    Press(vk::End);
    EXPECT_EQ(platform::GetEditorCaretPosition(editor), (platform::Point{24, 12}));

    EXPECT_NE(StartEditing(1), 0u);
    EXPECT_FALSE(platform::IsLiveWindow(editor)) << "one editor at a time";
    EXPECT_NE(Note(1).editWindow, 0u);
}

TEST_F(EditMode, EndingAnEditOfAnEmptyNoteWithoutTypingKeepsItEmptyButSaves)
{
    StartWithText(std::nullopt);
    const WindowHandle editor = StartEditing();
    Press(vk::Escape);
    EXPECT_FALSE(platform::IsLiveWindow(editor));
    EXPECT_EQ(Note(0).editWindow, 0u);
    EXPECT_EQ(Note(0).text, std::nullopt);
    EXPECT_EQ(Bounds(), kFirst) << "an unchanged text is not fitted";
    EXPECT_EQ(SavesSinceStart(), 1);
    EXPECT_TRUE(NoteFiles().empty());
    EXPECT_FALSE(platform::IsInputMethodOpen(Window(0)));
}

TEST_F(EditMode, TypedTextGoesIntoTheNoteItsFileAndTheDataFileAndTheNoteFitsIt)
{
    StartWithText(u"memo");
    StartEditing();
    Press(vk::End);
    Type(u" Two\nLines");
    Press(vk::Escape);
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"memo Two\r\nLines"));
    EXPECT_EQ(NoteFileBytes(0), "memo Two\r\nLines");
    ExpectOnlyFileOf(0);
    // Written once, under the lowest name that VLM00000.txt, the old file
    // still on disk until the save, left free.
    EXPECT_EQ(FieldText(Note(0).fileName), u"VLM00001.txt");
    // 8 characters by 2 lines, 5 pixels of margin all round.
    EXPECT_EQ(Bounds(), (Rect{100, 100, 100 + 48 + 10, 100 + 24 + 10}));
    EXPECT_EQ(SavesSinceStart(), 1);
    Restart();
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"memo Two\r\nLines"));
}

TEST_F(EditMode, TypingAndDeletingItAgainStillCountsAsAChange)
{
    StartWithText(u"memo");
    StartEditing();
    Type(u"x");
    Press(vk::Back);
    Press(vk::Escape);
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"memo"));
    EXPECT_EQ(NoteFileBytes(0), "memo");
    ExpectOnlyFileOf(0);
    EXPECT_EQ(Bounds(), (Rect{100, 100, 134, 126})) << "a changed text is fitted: 24 + 10 wide, at least 26 high";

    // Without a change the note keeps its size; its text is written again
    // all the same.
    const Rect fitted = Bounds();
    platform::MoveAppWindow(Window(0), kFirst, true);
    StartEditing();
    Press(vk::Right);
    Press(vk::Escape);
    EXPECT_EQ(Bounds(), kFirst);
    EXPECT_NE(fitted, kFirst);
    EXPECT_EQ(NoteFileBytes(0), "memo");
    ExpectOnlyFileOf(0);
}

TEST_F(EditMode, SwitchingAwayWithAModifierHeldKeepsEditing)
{
    StartWithText(u"memo");
    for (std::uint32_t key : {vk::Control, vk::Alt, vk::Shift}) {
        SCOPED_TRACE(key);
        const WindowHandle editor = StartEditing();
        Type(u"a");
        Hold({key});
        platform::BringToForeground(Window(1));
        platform::PumpMessages();
        Hold({});
        platform::PumpMessages();
        EXPECT_TRUE(platform::IsLiveWindow(editor));
        EXPECT_EQ(Note(0).editWindow, editor);
        EXPECT_NE(Focus(), editor) << "the other note has the keyboard";

        // Back on the note, the keys go to its editor again.
        platform::BringToForeground(Window(0));
        platform::PumpMessages();
        EXPECT_EQ(Focus(), editor);
        Type(u"b");
        platform::BringToForeground(Window(1));
        platform::PumpMessages();
        EXPECT_FALSE(platform::IsLiveWindow(editor)) << "switching away without a modifier ends it";
        EXPECT_EQ(Note(0).text->substr(0, 2), u"ab");
    }
}

TEST_F(EditMode, AClickOnTheBorderEndsTheEditAndAClickInsidePlacesTheCaret)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    sim::PointerDown(Window(0), {5 + 13, 5 + 3});  // inside the editor: nearer the third character
    sim::PointerUp(Window(0), {5 + 13, 5 + 3});
    platform::PumpMessages();
    EXPECT_EQ(platform::GetEditorSelection(editor), (platform::TextSelection{2, 2}));
    EXPECT_TRUE(platform::IsLiveWindow(editor));

    sim::PointerDown(Window(0), {2, 2});  // the 5-pixel border
    sim::PointerUp(Window(0), {2, 2});
    platform::PumpMessages();
    EXPECT_FALSE(platform::IsLiveWindow(editor));
    EXPECT_EQ(Bounds(), kFirst) << "the press started no drag";
}

TEST_F(EditMode, TheDoubleClickInTheEditorEndsItByTheGestureSetting)
{
    struct Case {
        std::int32_t editGesture;
        bool ctrl;
        bool ends;
    };
    const Case cases[] = {{1, false, false}, {1, true, true}, {0, false, true}, {0, true, true}};
    StartWithText(u"one two");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "editGesture " << c.editGesture << ", Ctrl " << c.ctrl);
        noteSettings.editGesture = c.editGesture;
        const WindowHandle editor = StartEditing();
        Hold(c.ctrl ? std::initializer_list<std::uint32_t>{vk::Control} : std::initializer_list<std::uint32_t>{});
        sim::DoubleClick(editor, {6 * 5, 3});
        // The control has the double click too: it selects the word.
        EXPECT_EQ(platform::GetEditorSelection(editor), (platform::TextSelection{4, 7}));
        sim::PointerUp(editor, {6 * 5, 3});
        Hold({});
        platform::PumpMessages();
        EXPECT_EQ(platform::IsLiveWindow(editor), !c.ends);
        platform::SendWindowMessage(Window(0), MSG_END_EDIT, 0, 0);
    }
}

TEST_F(EditMode, EscapeEndsTheEditOfAFixedNoteThatNeverChangesSize)
{
    StartWithText(u"memo", 1);
    const WindowHandle editor = StartEditing();
    Type(u"a very long line that no longer fits the editor at all\n\n\nand more lines");
    EXPECT_EQ(Bounds(), kFirst);
    Press(vk::Escape);
    EXPECT_FALSE(platform::IsLiveWindow(editor));
    EXPECT_EQ(Bounds(), kFirst);
    EXPECT_EQ(Note(0).text->substr(0, 6), u"a very");
}

TEST_F(EditMode, DirectEditOfAnotherNoteStoresTheFirstNotesEditBeforeItsEditorOpens)
{
    StartWithText(u"memo");
    StartEditing(0);
    Press(vk::End);
    Type(u"s");
    const WindowHandle second = StartEditing(1);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(Note(0).editWindow, 0u);
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"memos"));
    EXPECT_EQ(NoteFileBytes(0), "memos");
    EXPECT_EQ(Bounds(0), (Rect{100, 100, 140, 126}));
    EXPECT_EQ(SavesSinceStart(), 1);
    EXPECT_EQ(Focus(), second);
}

TEST_F(EditMode, AltClickOpensTheEditMenuAtThePointAndTheControlHearsNeitherButton)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    Press(vk::End);
    Hold({vk::Alt});
    sim::PointerDown(editor, {7, 4});
    EXPECT_EQ(platform::GetPointerCapture(), 0u) << "the control took the press";
    sim::PointerUp(editor, {7, 4});
    Hold({});
    platform::PumpMessages();
    ASSERT_EQ(sim::MenusShown().size(), 1u);
    EXPECT_EQ(sim::MenusShown()[0].owner, editor);
    EXPECT_EQ(sim::MenusShown()[0].at, (platform::Point{105 + 7, 105 + 4}));
    EXPECT_EQ(platform::GetEditorSelection(editor), (platform::TextSelection{4, 4})) << "the caret stayed";

    // The next plain click is the control's again.
    sim::PointerDown(editor, {7, 4});
    sim::PointerUp(editor, {7, 4});
    EXPECT_EQ(platform::GetEditorSelection(editor), (platform::TextSelection{1, 1}));
}

TEST_F(EditMode, AltPOpensTheEditMenuHalfALineOfTheDefaultFontBelowTheCaret)
{
    NoteRecord large = ShownNote(kFirst);
    large.font.height = -20;  // 10 pixels a character, 20 a line
    StartWith({large});
    const WindowHandle editor = StartEditing();
    Type(u"ab\ncd");
    Press('P', platform::mod::Alt);
    ASSERT_EQ(sim::MenusShown().size(), 1u);
    // Caret at (20, 20) in the editor at (105, 105); the default font's
    // cell is 12 high.
    EXPECT_EQ(sim::MenusShown()[0].at, (platform::Point{105 + 20, 105 + 20 + 6}));
    EXPECT_EQ(platform::GetEditorText(editor), u"ab\r\ncd") << "Alt+P types nothing";
}

// A note peeled off, hidden or left by the program while it is edited keeps
// what was typed, as the end of editing stores it.
TEST_F(EditMode, PeelingOffWhileEditingLogsTheTypedTextAndLeavesNoFileBehind)
{
    StartWithText(u"memo");
    StartEditing();
    Press(vk::End);
    Type(u" typed");
    PostCommand(Window(0), CMD_PEEL_LOGGED, 1);
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 1);
    const std::string log = ReadBytes(folder_ / "VlmLog.txt");
    EXPECT_NE(log.find("memo typed"), std::string::npos) << log;
    EXPECT_TRUE(NoteFiles().empty()) << "the text the end of the edit wrote went with the note";
}

TEST_F(EditMode, HidingTheNoteStoresItsEditEvenWithAModifierHeld)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    Type(u"x");
    Hold({vk::Control});  // the deactivation alone would keep editing
    PostCommand(Window(0), CMD_HIDE_NOTE, 1);
    platform::PumpMessages();
    Hold({});
    EXPECT_FALSE(platform::IsLiveWindow(editor));
    EXPECT_FALSE(platform::IsWindowShown(Window(0)));
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"xmemo"));
    EXPECT_EQ(NoteFileBytes(0), "xmemo");
    Restart();
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"xmemo"));
    EXPECT_EQ(Note(0).shown, kNoteHidden);
}

TEST_F(EditMode, EndingTheProgramWhileEditingStoresTheTypedText)
{
    StartWithText(u"memo");
    noteSettings.trayIcon = 1;
    StartEditing();
    Type(u"x");
    PostCommand(Window(0), CMD_EXIT, 1);
    platform::PumpMessages();
    ASSERT_TRUE(sim::QuitPosted());
    Restart();
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"xmemo"));
    EXPECT_EQ(noteSettings.trayIcon, 1) << "the end of the edit kept the tray icon setting";
}

TEST_F(EditMode, TheEndOfTheSessionWhileEditingStoresTheTypedText)
{
    StartWithText(u"memo");
    StartEditing();
    Type(u"x");
    ASSERT_TRUE(sim::EndSession());
    platform::PumpMessages();
    ASSERT_TRUE(sim::QuitPosted());
    Restart();
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"xmemo"));
}

TEST_F(EditMode, CommandsOnTheWholeNoteActOnTheTextBeingEdited)
{
    StartWithText(u"memo");
    StartEditing();
    Type(u"x");
    PostCommand(Window(0), CMD_COPY, 1);
    platform::PumpMessages();
    EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"xmemo"));
    EXPECT_EQ(Note(0).editWindow, 0u);

    StartEditing();
    Type(u"y");
    PostCommand(Window(0), CMD_CUT, 1);
    platform::PumpMessages();
    EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"yxmemo"));
    EXPECT_EQ(Note(0).text, std::nullopt);
    platform::SendWindowMessage(Window(0), MSG_END_EDIT, 0, 0);
    EXPECT_EQ(Note(0).text, std::nullopt) << "no editor was left to bring the text back";
}

TEST_F(EditMode, ATextThatCannotBeCopiedLeavesTheNoteAsItWas)
{
    StartWithText(u"memo");
    StartEditing();
    Type(u"x");
    sim::FailNthEditorTextCopy(1);
    Press(vk::Escape);
    EXPECT_EQ(Note(0).editWindow, 0u);
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"memo"));
    EXPECT_EQ(NoteFileBytes(0), "memo");
}

TEST_F(EditMode, TheEditorsMessagesAreNoNotesBusiness)
{
    StartWithText(u"memo");
    const WindowHandle editor = StartEditing();
    // A deactivation handled as a note's would ask the editor to end an edit.
    WindowProc(editor, wm::Activate, platform::wa::Inactive, 0);
    platform::PumpMessages();
    EXPECT_EQ(sim::DeliveredCount(editor, MSG_END_EDIT), 0);
    EXPECT_TRUE(platform::IsLiveWindow(editor));
    EXPECT_EQ(noteTable.count, 2);
}

}  // namespace
