// Per-process services the program relies on: the clipboard's text, the
// input method's open flag per window, and the system-wide hotkey registry.
#include "platform/clipboard.h"
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/system.h"
#include "platform/text.h"
#include "recording_window.h"

namespace conformance {
namespace {

TEST(Clipboard, TextGoesRoundTripWholeAndReplacesWhatWasThere)
{
    const std::u16string texts[] = {
        u"付箋紙のテキスト\r\nline two\ttab",
        u"",
        u"second text",
    };
    for (const std::u16string& text : texts) {
        SCOPED_TRACE(platform::ToUtf8(text));
        ASSERT_TRUE(SetClipboardText(text)) << "the clipboard cannot be reached";
        PumpMessages();
        const std::optional<std::u16string> back = GetClipboardText();
        if (text.empty()) {
            // An empty text is no text to a desktop clipboard.
            EXPECT_TRUE(!back || back->empty());
        } else {
            ASSERT_TRUE(back.has_value());
            EXPECT_EQ(*back, text);
        }
    }
}

using InputMethod = PlatformTest;

// The editor is what takes text from an input method. Where the desktop runs
// one, each editor keeps its own open flag, closed at first, also while
// another editor has the keyboard, and from the first focus of its window
// on; without one, every call reports failure and the input method reads
// as closed.
TEST_F(InputMethod, EachEditorKeepsItsOwnOpenFlag)
{
    const WindowHandle a = MakeWindow();
    const WindowHandle b = MakeWindow(Rect{300, 100, 460, 140});
    ShowAppWindow(a, sw::ShowNormal);
    ShowAppWindow(b, sw::ShowNormal);
    const WindowHandle editorA = CreateEditorControl(a, 139, Rect{5, 5, 155, 35}, 0);
    const WindowHandle editorB = CreateEditorControl(b, 139, Rect{5, 5, 155, 35}, 0);
    ASSERT_NE(editorA, 0u);
    ASSERT_NE(editorB, 0u);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundAppWindow() == b; })) << "the window shown last is active";
    PumpAWhile();  // a window manager's own word on the new windows comes late
    SetKeyboardFocus(editorA);
    ASSERT_TRUE(PumpUntil([&] { return GetKeyboardFocus() == editorA; }));
    EXPECT_FALSE(IsInputMethodOpen(editorA));
    EXPECT_FALSE(IsInputMethodOpen(editorB));
    EXPECT_FALSE(SetInputMethodOpen(editorA + 1000, true)) << "no window, no input method";
    if (!IsInputMethodAvailable()) {
        EXPECT_FALSE(SetInputMethodOpen(editorA, true));
        EXPECT_FALSE(IsInputMethodOpen(editorA));
        EXPECT_FALSE(SetInputConversion(editorA, Conversion::Romaji));
        return;
    }
    EXPECT_TRUE(SetInputMethodOpen(editorA, true));
    EXPECT_TRUE(IsInputMethodOpen(editorA));
    EXPECT_FALSE(IsInputMethodOpen(editorB));
    PumpAWhile();  // the framework's own word on a window's first focus comes late
    EXPECT_TRUE(IsInputMethodOpen(editorA)) << "opened on the first focus of its window, it stays open";
    EXPECT_TRUE(SetInputMethodOpen(editorA, false));
    EXPECT_FALSE(IsInputMethodOpen(editorA));

    EXPECT_TRUE(SetInputMethodOpen(editorB, true)) << "set while the other editor has the keyboard";
    SetKeyboardFocus(editorB);
    ASSERT_TRUE(PumpUntil([&] { return GetKeyboardFocus() == editorB; }));
    PumpAWhile();
    EXPECT_TRUE(IsInputMethodOpen(editorB)) << "the editor's own flag comes with its keyboard";
    EXPECT_FALSE(IsInputMethodOpen(editorA));
}

class Hotkeys : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        probe_ = MakeWindow();
        if (!RegisterSystemHotkey(probe_, 1, mod::Control | mod::Alt | mod::Shift, vk::F1 + 9))
            GTEST_SKIP() << "this desktop offers no system-wide hotkeys (Qt needs X11 for them)";
        UnregisterSystemHotkey(probe_, 1);
    }

    WindowHandle probe_ = 0;
};

TEST_F(Hotkeys, RegistrationNeedsAModifierAKeyAndAFreeCombination)
{
    const WindowHandle a = MakeWindow();
    const WindowHandle b = MakeWindow(Rect{300, 100, 460, 140});
    constexpr std::uint32_t kCtrlShift = mod::Control | mod::Shift;
    ASSERT_TRUE(RegisterSystemHotkey(a, 1, kCtrlShift, 'Q'));
    struct Case {
        const char* name;
        WindowHandle window;
        int id;
        std::uint32_t modifiers, key;
        bool accepted;
    };
    const Case cases[] = {
        {"same keys, other window", b, 2, kCtrlShift, 'Q', false},
        {"same id, same window", a, 1, mod::Alt | mod::Shift, 'J', false},
        {"no modifier", a, 3, 0, 'J', false},
        {"no key", a, 3, mod::Alt | mod::Shift, 0, false},
        {"dead window", a + 1000, 3, mod::Alt | mod::Shift, 'J', false},
        {"same id, other window", b, 1, mod::Alt | mod::Shift, 'J', true},
        {"other modifiers, same key", a, 4, mod::Control | mod::Alt | mod::Shift, 'Q', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RegisterSystemHotkey(c.window, c.id, c.modifiers, c.key), c.accepted);
    }
    EXPECT_FALSE(UnregisterSystemHotkey(b, 9));
    EXPECT_TRUE(UnregisterSystemHotkey(a, 1));
    EXPECT_FALSE(UnregisterSystemHotkey(a, 1));
    EXPECT_TRUE(RegisterSystemHotkey(b, 2, kCtrlShift, 'Q')) << "unregistering did not free the keys";
    UnregisterSystemHotkey(b, 2);
    UnregisterSystemHotkey(b, 1);
    UnregisterSystemHotkey(a, 4);
}

TEST_F(Hotkeys, AWindowsHotkeysEndWithIt)
{
    const WindowHandle a = MakeWindow();
    const WindowHandle b = MakeWindow(Rect{300, 100, 460, 140});
    ASSERT_TRUE(RegisterSystemHotkey(a, 1, mod::Control | mod::Shift, 'J'));
    DestroyAppWindow(a);
    EXPECT_TRUE(RegisterSystemHotkey(b, 1, mod::Control | mod::Shift, 'J')) << "a destroyed window kept its hotkey";
    UnregisterSystemHotkey(b, 1);
}

}  // namespace
}  // namespace conformance
