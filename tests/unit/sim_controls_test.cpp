// The simulated desktop's own controls, which the behaviour tests drive and
// no real desktop has: scripted menus, dialogs and message boxes with their
// records, the stand-ins for another process, the hotkey press, the clock,
// random numbers and waits, failure injection, the delivery record and the
// reset, typing text key by key, the mouse on a child window and the
// editor's own mouse handling. What the sim shares with the real desktop is
// checked against both in tests/conformance.
#include <unistd.h>

#include <filesystem>
#include <new>

#include "platform/dialog_box.h"
#include "platform/dialogs.h"
#include "platform/editor.h"
#include "platform/font.h"
#include "platform/ime.h"
#include "platform/menu.h"
#include "platform/sim/sim_menus.h"
#include "platform/text.h"
#include "sim_fixture.h"

namespace {

using namespace platform;

constexpr std::uint32_t kWork = wm::User + 1;

using SimScripts = SimTest;

MenuHandle MenuWithGreySubmenu()
{
    const MenuHandle top = CreatePopupMenuHandle();
    const MenuHandle sub = CreatePopupMenuHandle();
    EXPECT_TRUE(AppendMenuItem(sub, mf::Plain, 7, u"inside"));
    EXPECT_TRUE(AppendMenuItem(top, mf::Plain, 5, u"plain"));
    EXPECT_TRUE(AppendMenuItem(top, mf::Grey, 6, u"grey"));
    EXPECT_TRUE(AppendMenuItem(top, mf::Submenu | mf::Grey, sub, u"sub"));
    return top;
}

TEST_F(SimScripts, AMenuChoosesOnlyEnabledCommandsAndPostsTheChoiceWhenAskedTo)
{
    const WindowHandle owner = Make();
    const MenuHandle menu = MenuWithGreySubmenu();
    for (int answer : {6, 7, 99, 5}) sim::QueueMenuAnswer(answer);
    const int expected[] = {0, 0, 0, 5};
    for (int result : expected) EXPECT_EQ(TrackPopupMenuAt(menu, tpm::ReturnCommand, {1, 2}, owner), result);
    ASSERT_EQ(sim::MenusShown().size(), 4u);
    EXPECT_EQ(sim::MenusShown()[0].items[2].items[0].label, u"inside");
    EXPECT_TRUE(Only({wm::Command}).empty());

    // Without ReturnCommand the choice is posted to the owner.
    sim::QueueMenuAnswer(5);
    EXPECT_EQ(TrackPopupMenuAt(menu, 0, {0, 0}, owner), 1);
    EXPECT_TRUE(Only({wm::Command}).empty());
    PumpMessages();
    EXPECT_EQ(Only({wm::Command}), (std::vector<SimMessage>{{owner, wm::Command, 5, 0}}));
    EXPECT_EQ(sim::LiveMenuCount(), 2);
}

TEST_F(SimScripts, AFileDialogAddsTheDefaultExtensionOnlyToBareNames)
{
    FileDialogRequest request;
    request.defaultExtension = u"txt";
    for (const char16_t* answer : {u"/a/b/note", u"/a/b/note.md"}) sim::QueueFileDialogAnswer(std::u16string(answer));
    ASSERT_TRUE(ShowSaveFileDialog(request));
    EXPECT_EQ(request.path, u"/a/b/note.txt");
    EXPECT_EQ(request.fileTitle, u"note.txt");
    ASSERT_TRUE(ShowOpenFileDialog(request));
    EXPECT_EQ(request.fileTitle, u"note.md");
    EXPECT_FALSE(ShowOpenFileDialog(request));  // nothing queued: cancelled
    EXPECT_EQ(sim::FileDialogs().size(), 3u);
}

TEST_F(SimScripts, MessageBoxesAnswerFromTheScriptThenWithTheirFirstButton)
{
    struct Case {
        std::uint32_t style;
        int expected;
    };
    sim::QueueMessageBoxAnswer(id::No);
    sim::QueueMessageBoxAnswer(id::Cancel);
    const Case cases[] = {
        {mb::YesNo | mb::IconQuestion, id::No},       {mb::YesNoCancel, id::Cancel},
        {mb::YesNoCancel | mb::IconQuestion, id::Yes}, {mb::Ok | mb::IconExclamation | mb::SetForeground, id::Ok},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowMessageBox(u"text", u"caption", c.style), c.expected);
    ASSERT_EQ(sim::MessageBoxes().size(), 4u);
    EXPECT_EQ(sim::MessageBoxes()[3].style, mb::Ok | mb::IconExclamation | mb::SetForeground);
    EXPECT_EQ(sim::MessageBoxes()[1].answer, id::Cancel);
}

TEST_F(SimScripts, BoxesAreRecordedInOpeningOrderAndAClosedOneWithItsEscapeAnswer)
{
    const WindowHandle w = Make();
    Answer() = [](WindowHandle, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == kWork) {
            ShowMessageBox(u"inner", u"c", mb::Ok);
            CloseMenuOrDialog();
        }
        return std::nullopt;
    };
    PostWindowMessage(w, kWork, 0, 0);
    EXPECT_EQ(ShowMessageBox(u"outer", u"c", mb::YesNo), id::No);
    ASSERT_EQ(sim::MessageBoxes().size(), 2u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"outer");
    EXPECT_EQ(sim::MessageBoxes()[0].answer, id::No);
    EXPECT_EQ(sim::MessageBoxes()[1].text, u"inner");
    EXPECT_EQ(sim::MessageBoxes()[1].answer, id::Ok);
}

using SimStandIns = SimTest;

TEST_F(SimStandIns, ALockHeldElsewhereBlocksItAndAnswersHandOffsAsScripted)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("sim-lock-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::u16string lock = FromUtf8((folder / "x.lock").string());
    const std::u16string sameLock = FromUtf8((folder / "." / "x.lock").string());
    sim::SetInstanceLockHeldElsewhere(lock, true);
    EXPECT_EQ(AcquireInstanceLock(sameLock), InstanceLock::AlreadyExists);
    sim::ScriptHolderElsewhere({sim::Holder::NotListening, sim::Holder::Queues, sim::Holder::Ends});
    EXPECT_EQ(HandOffToRunningInstance(lock), HandOff::NotNow);
    EXPECT_EQ(HandOffToRunningInstance(sameLock), HandOff::Queued);
    EXPECT_EQ(sim::HandOffsElsewhere().size(), 1u);
    EXPECT_EQ(AcquireInstanceLock(lock), InstanceLock::AlreadyExists) << "it has not ended yet";
    EXPECT_EQ(HandOffToRunningInstance(lock), HandOff::NotNow);
    EXPECT_EQ(AcquireInstanceLock(lock), InstanceLock::Acquired) << "its end gave the lock back";
    ReleaseInstanceLock();
    std::filesystem::remove_all(folder);
}

TEST_F(SimStandIns, APressedHotkeyIsPostedToItsWindow)
{
    const WindowHandle w = Make();
    ASSERT_TRUE(RegisterSystemHotkey(w, 0x5000, mod::Alt | mod::Shift, 'F'));
    EXPECT_FALSE(sim::PressHotkey(mod::Alt, 'F'));
    EXPECT_TRUE(sim::PressHotkey(mod::Alt | mod::Shift, 'F'));
    EXPECT_TRUE(Only({wm::Hotkey}).empty()) << "a hotkey is posted, not sent";
    PumpMessages();
    const LParam keys = ('F' << 16) | mod::Alt | mod::Shift;
    EXPECT_EQ(Only({wm::Hotkey}), (std::vector<SimMessage>{{w, wm::Hotkey, 0x5000, keys}}));
    EXPECT_EQ(sim::Hotkeys().size(), 1u);
}

TEST_F(SimStandIns, ClockRandomNumbersAndWaitsAreScripted)
{
    const LocalTime start = GetLocalTimeNow();
    EXPECT_EQ(std::vector<int>({start.year, start.month, start.day, start.hour, start.minute, start.second}),
              std::vector<int>({2024, 1, 2, 3, 4, 5}));
    sim::SetLocalTime({1999, 12, 31, 23, 59, 58});
    EXPECT_EQ(GetLocalTimeNow().year, 1999);

    EXPECT_EQ(RandomNumber(), 0u);
    EXPECT_EQ(RandomNumber(), 1u);
    sim::SetRandomSequence({7, 9});
    EXPECT_EQ(RandomNumber(), 7u);
    EXPECT_EQ(RandomNumber(), 9u);
    EXPECT_EQ(RandomNumber(), 9u) << "the last number repeats";

    SleepMilliseconds(100);
    SleepMilliseconds(10);
    EXPECT_EQ(sim::Sleeps(), std::vector<int>({100, 10}));
    EXPECT_EQ(GetModuleFilePath(), u"");
    sim::SetModulePath(u"/opt/app/cevelmo");
    EXPECT_EQ(GetModuleFilePath(), u"/opt/app/cevelmo");
}

// The fixed-metric font that the painting tests count pixels with.
TEST_F(SimStandIns, FontsFillTheirBlanksAndKeepTheRest)
{
    FontDescription asked;
    asked.italic = 1;
    asked.charSet = 128;
    FontDescription realised;
    const FontHandle blank = CreateFontObject(asked);
    ASSERT_TRUE(DescribeFontObject(blank, realised));
    EXPECT_EQ(realised.height, -12);
    EXPECT_EQ(realised.weight, 400);
    EXPECT_EQ(std::u16string(realised.faceName.data()), u"SimSans");
    EXPECT_EQ(realised.italic, 1);
    EXPECT_EQ(realised.charSet, 128);

    asked.height = 30;
    asked.weight = 700;
    const std::u16string face = u"MS UI Gothic";
    face.copy(asked.faceName.data(), face.size());
    const FontHandle given = CreateFontObject(asked);
    ASSERT_TRUE(DescribeFontObject(given, realised));
    EXPECT_EQ(realised, asked);
    EXPECT_NE(given, blank);

    FontDescription system;
    ASSERT_TRUE(DescribeSystemFont(system));
    EXPECT_EQ(std::u16string(system.faceName.data()), u"System");
    EXPECT_EQ(system.height, -12);
}

using SimRecords = SimTest;

TEST_F(SimRecords, TheNthCreationFailsWithoutAnyMessage)
{
    sim::FailNthWindowCreation(2);
    EXPECT_NE(Make(), 0u);
    Messages().clear();
    EXPECT_EQ(Make(), 0u);
    EXPECT_TRUE(Messages().empty());
    EXPECT_NE(Make(), 0u);
    EXPECT_EQ(sim::WindowsInZOrder().size(), 2u);
}

TEST_F(SimRecords, DeliveriesCountSentAndPostedMessages)
{
    const WindowHandle w = Make();
    SendWindowMessage(w, kWork, 0, 0);
    PostWindowMessage(w, kWork, 0, 0);
    EXPECT_EQ(sim::DeliveredCount(w, kWork), 1);
    PumpMessages();
    EXPECT_EQ(sim::DeliveredCount(w, kWork), 2);
    EXPECT_EQ(sim::DeliveredCount(w, wm::Create), 1);
    EXPECT_EQ(sim::DeliveredCount(w + 1, kWork), 0);
}

TEST_F(SimRecords, KeyStateIsWhatTheTestHoldsWhenTheKeyArrives)
{
    const WindowHandle w = Make();
    bool shiftSeen = false;
    Answer() = [&](WindowHandle, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == wm::KeyDown) shiftSeen = IsKeyHeld(vk::Shift);
        return std::nullopt;
    };
    sim::SetKeyHeld(vk::Shift, true);
    sim::PressKey(w, vk::Tab);
    EXPECT_TRUE(shiftSeen);
    EXPECT_FALSE(IsKeyHeld(vk::Control));
    sim::SetKeyHeld(vk::Shift, false);
    sim::PressKey(w, vk::Tab);
    EXPECT_FALSE(shiftSeen);
    const auto keys = Only({wm::KeyDown});
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].wParam, vk::Tab);
}

// A real desktop would wait for input that never comes here.
TEST_F(SimRecords, AMainLoopWithoutQuitReturnsMinusOneWhenIdle)
{
    const WindowHandle w = Make();
    PostWindowMessage(w, kWork, 0, 0);
    EXPECT_EQ(RunMessageLoop(), -1);
    EXPECT_EQ(sim::DeliveredCount(w, kWork), 1);
    EXPECT_FALSE(sim::QuitPosted());
    PostQuit(3);
    EXPECT_TRUE(sim::QuitPosted());
    EXPECT_EQ(sim::QuitCode(), 3);
}

TEST_F(SimRecords, ResetForgetsEverythingButNeverReusesAHandle)
{
    const WindowHandle w = Make();
    PostWindowMessage(w, kWork, 0, 0);
    PostQuit(1);
    sim::SetKeyHeld(vk::Alt, true);
    sim::Reset();
    EXPECT_FALSE(IsLiveWindow(w));
    EXPECT_FALSE(sim::QuitPosted());
    EXPECT_FALSE(IsKeyHeld(vk::Alt));
    EXPECT_EQ(sim::DeliveredCount(w, wm::Create), 0);
    EXPECT_EQ(RunMessageLoop(), -1);
    ASSERT_TRUE(RegisterWindowClass(u"SIMTEST", 0, DefaultWindowProc));
    EXPECT_GT(Make(), w);
}

// The sim's user at a dialog: one script per dialog, in the order the
// dialogs open; what the script leaves open is closed with Escape, and a
// procedure that will not end even then is ended with 0. The record keeps
// each dialog as it was when it closed.
DialogTemplate TwoControls()
{
    const std::uint32_t shown = ws::Child | ws::Visible;
    return DialogTemplate{u"two", u"System", 8, ws::Caption | ws::SysMenu, {0, 0, 100, 40},
                          {{5, ControlClass::Edit, u"", shown | ws::Border | ws::TabStop, {4, 4, 40, 12}, 0},
                           {6, ControlClass::Edit, u"fixed", shown | es::ReadOnly, {50, 4, 40, 12}, 0}}};
}

LResult EndsOnCancel(WindowHandle d, std::uint32_t message, WParam wParam, LParam)
{
    if (message == wm::Command && LowWord(wParam) == id::Cancel) EndModalDialog(d, 2);
    return 1;
}

LResult NeverEnds(WindowHandle, std::uint32_t, WParam, LParam) { return 1; }

TEST_F(SimScripts, EachDialogTakesTheNextScriptAndWhatIsLeftOpenIsEscaped)
{
    std::vector<std::u16string> order;
    sim::QueueDialogScript([&](WindowHandle d) {
        order.push_back(u"outer");
        EXPECT_TRUE(sim::TypeInControl(d, 5, u"typed"));
        EXPECT_FALSE(sim::TypeInControl(d, 6, u"read-only")) << "typed into a read-only box";
        EXPECT_EQ(RunModalDialog(TwoControls(), NeverEnds, 9), 0);
        EXPECT_EQ(GetOpenDialog(), d);
    });
    sim::QueueDialogScript([&](WindowHandle) { order.push_back(u"inner"); });
    EXPECT_EQ(RunModalDialog(TwoControls(), EndsOnCancel, 7), 2);
    EXPECT_EQ(order, (std::vector<std::u16string>{u"outer", u"inner"}));
    ASSERT_EQ(sim::DialogsShown().size(), 2u);
    const sim::ShownDialog& outer = sim::DialogsShown()[0];
    EXPECT_EQ(outer.caption, u"two");
    EXPECT_EQ(outer.parameter, 7);
    EXPECT_EQ(outer.result, 2);
    ASSERT_EQ(outer.controls.size(), 2u);
    EXPECT_EQ(outer.controls[0].text, u"typed");
    EXPECT_EQ(outer.controls[1].text, u"fixed");
    EXPECT_EQ(sim::DialogsShown()[1].parameter, 9);
    EXPECT_EQ(sim::DialogsShown()[1].result, 0);
    EXPECT_EQ(GetOpenDialog(), 0u);
}

}  // namespace

namespace {

using namespace platform;
using SimInput = SimTest;

TEST_F(SimInput, TypedTextArrivesKeyByKeyWithShiftForCapitalsAndReturnForLineBreaks)
{
    const WindowHandle w = Make();
    std::vector<bool> shiftAtKey;
    Answer() = [&](WindowHandle, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == wm::KeyDown) shiftAtKey.push_back(IsKeyHeld(vk::Shift));
        return std::nullopt;
    };
    EXPECT_TRUE(sim::TypeText(w, u"aB 1!.\r\n\t"));
    const std::vector<SimMessage> expected = {
        {w, wm::KeyDown, 'A', 1},        {w, wm::Char, u'a', 1},       {w, wm::KeyUp, 'A', 1},
        {w, wm::KeyDown, 'B', 1},        {w, wm::Char, u'B', 1},       {w, wm::KeyUp, 'B', 1},
        {w, wm::KeyDown, vk::Space, 1},  {w, wm::Char, u' ', 1},       {w, wm::KeyUp, vk::Space, 1},
        {w, wm::KeyDown, '1', 1},        {w, wm::Char, u'1', 1},       {w, wm::KeyUp, '1', 1},
        {w, wm::KeyDown, '1', 1},        {w, wm::Char, u'!', 1},       {w, wm::KeyUp, '1', 1},
        {w, wm::KeyDown, 190, 1},        {w, wm::Char, u'.', 1},       {w, wm::KeyUp, 190, 1},
        {w, wm::KeyDown, vk::Return, 1}, {w, wm::Char, u'\r', 1},      {w, wm::KeyUp, vk::Return, 1},
        {w, wm::KeyDown, vk::Tab, 1},    {w, wm::Char, u'\t', 1},      {w, wm::KeyUp, vk::Tab, 1},
    };
    EXPECT_EQ(Only({wm::KeyDown, wm::Char, wm::KeyUp}), expected);
    EXPECT_EQ(shiftAtKey, (std::vector<bool>{false, true, false, false, true, false, false, false}));
    EXPECT_FALSE(IsKeyHeld(vk::Shift));

    Messages().clear();
    EXPECT_FALSE(sim::TypeText(w, u"a漢b")) << "no key types a kanji";
    EXPECT_EQ(Only({wm::Char}), (std::vector<SimMessage>{{w, wm::Char, u'a', 1}}));

    Messages().clear();
    sim::SetKeyHeld(vk::Alt, true);
    EXPECT_TRUE(sim::TypeText(w, u"p"));
    sim::SetKeyHeld(vk::Alt, false);
    EXPECT_EQ(Only({wm::SysChar}).size(), 1u);
    EXPECT_TRUE(Only({wm::Char}).empty());
}

TEST_F(SimInput, TheMouseReachesTheChildUnderItAndTheEditorPlacesItsCaret)
{
    const WindowHandle parent = Make(Rect{10, 10, 210, 60});
    const WindowHandle editor = CreateEditorControl(parent, 139, Rect{5, 5, 195, 45}, 0);
    ASSERT_NE(editor, 0u);
    SetEditorText(editor, u"one two\r\nthree");
    ShowAppWindow(parent, sw::ShowNormal);
    PumpMessages();

    // Default font: 6 x 12 a character.
    sim::PointerDown(parent, {5 + 6 * 5 + 1, 5 + 12 + 2});  // second line, after "thr" and a bit
    EXPECT_EQ(GetEditorSelection(editor), (TextSelection{9 + 5, 9 + 5}));
    EXPECT_EQ(GetPointerCapture(), editor);
    EXPECT_EQ(GetKeyboardFocus(), editor);
    sim::PointerMove(parent, {5 + 6 * 2, 5 + 12 + 2});
    sim::PointerUp(parent, {5 + 6 * 2, 5 + 12 + 2});
    EXPECT_EQ(GetEditorSelection(editor), (TextSelection{9 + 2, 9 + 5})) << "dragging selects";
    EXPECT_EQ(GetPointerCapture(), 0u);

    sim::DoubleClick(editor, {6 * 5, 3});
    sim::PointerUp(editor, {6 * 5, 3});
    EXPECT_EQ(GetEditorSelection(editor), (TextSelection{4, 7})) << "a double click selects the word";

    Messages().clear();
    sim::PointerDown(parent, {2, 2});
    sim::PointerUp(parent, {2, 2});
    EXPECT_EQ(Only({wm::LeftButtonDown}), (std::vector<SimMessage>{{parent, wm::LeftButtonDown, mk::LeftButton,
                                                                      PackPoint(2, 2)}}))
        << "the parent's own client area outside the child";
}

TEST_F(SimInput, EditorCopiesFailOnRequestAndInputMethodsMayStartOpen)
{
    const WindowHandle parent = Make();
    const WindowHandle editor = CreateEditorControl(parent, 139, Rect{5, 5, 95, 45}, 0);
    SetEditorText(editor, u"text");
    sim::FailNthEditorTextCopy(2);
    EXPECT_EQ(GetEditorText(editor), u"text");
    EXPECT_THROW(GetEditorText(editor), std::bad_alloc);
    EXPECT_EQ(GetEditorText(editor), u"text") << "only the n-th copy fails";

    EXPECT_FALSE(IsInputMethodOpen(parent));
    sim::SetInputMethodOpenAtFirst(true);
    EXPECT_TRUE(IsInputMethodOpen(parent));
    EXPECT_TRUE(SetInputMethodOpen(parent, false));
    EXPECT_FALSE(IsInputMethodOpen(parent));
    EXPECT_TRUE(IsInputMethodOpen(editor));
    EXPECT_FALSE(IsInputMethodOpen(editor + 1000)) << "no window, no input method";
}

}  // namespace
