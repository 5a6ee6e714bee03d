// Key strokes become the window's key messages: plain keys as key-down, the
// typed character and key-up; keys pressed with Alt held (and Ctrl not
// held) in their system forms, so that a window telling Alt+P from P, or
// Alt+Left from Left, sees the difference. A modifier is held for the
// stroke it came with, however late the stroke is read.
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string_view>

#include "recording_window.h"

namespace conformance {
namespace {

using Keys = PlatformTest;

bool IsKeyMessage(std::uint32_t message)
{
    return message == wm::KeyDown || message == wm::KeyUp || message == wm::Char || message == wm::SysKeyDown ||
           message == wm::SysKeyUp || message == wm::SysChar;
}

constexpr LParam kPlain = 1;
constexpr LParam kAlt = 1 | (1 << 29);

TEST_F(Keys, StrokesArriveInThePlainOrTheSystemForms)
{
    struct Case {
        const char* name;
        std::uint32_t key;
        std::uint32_t modifiers;
        std::vector<std::pair<std::uint32_t, WParam>> expected;  // message, wParam
        LParam lParam;
    };
    const Case cases[] = {
        {"P", 'P', 0, {{wm::KeyDown, 'P'}, {wm::Char, u'p'}, {wm::KeyUp, 'P'}}, kPlain},
        {"Shift+P", 'P', mod::Shift, {{wm::KeyDown, 'P'}, {wm::Char, u'P'}, {wm::KeyUp, 'P'}}, kPlain},
        {"Alt+P", 'P', mod::Alt, {{wm::SysKeyDown, 'P'}, {wm::SysChar, u'p'}, {wm::SysKeyUp, 'P'}}, kAlt},
        {"Alt+Shift+P", 'P', mod::Alt | mod::Shift,
         {{wm::SysKeyDown, 'P'}, {wm::SysChar, u'P'}, {wm::SysKeyUp, 'P'}}, kAlt},
        {"Ctrl+Alt+P is no system stroke", 'P', mod::Alt | mod::Control,
         {{wm::KeyDown, 'P'}, {wm::Char, 0x10}, {wm::KeyUp, 'P'}}, kPlain},
        {"Left", vk::Left, 0, {{wm::KeyDown, vk::Left}, {wm::KeyUp, vk::Left}}, kPlain},
        {"Alt+Left", vk::Left, mod::Alt, {{wm::SysKeyDown, vk::Left}, {wm::SysKeyUp, vk::Left}}, kAlt},
        {"Alt+Delete", vk::Delete, mod::Alt, {{wm::SysKeyDown, vk::Delete}, {wm::SysKeyUp, vk::Delete}}, kAlt},
        {"Delete types nothing", vk::Delete, 0, {{wm::KeyDown, vk::Delete}, {wm::KeyUp, vk::Delete}}, kPlain},
        {"Tab", vk::Tab, 0, {{wm::KeyDown, vk::Tab}, {wm::Char, u'\t'}, {wm::KeyUp, vk::Tab}}, kPlain},
        {"full stop", 190, 0, {{wm::KeyDown, 190}, {wm::Char, u'.'}, {wm::KeyUp, 190}}, kPlain},
        {"Shift+quote", 222, mod::Shift, {{wm::KeyDown, 222}, {wm::Char, u'"'}, {wm::KeyUp, 222}}, kPlain},
        {"Shift+1", '1', mod::Shift, {{wm::KeyDown, '1'}, {wm::Char, u'!'}, {wm::KeyUp, '1'}}, kPlain},
    };
    const WindowHandle w = MakeWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log().clear();
        DeliverKeyStroke(w, c.key, c.modifiers);
        std::vector<Received> seen;
        std::copy_if(Log().begin(), Log().end(), std::back_inserter(seen),
                     [](const Received& r) { return IsKeyMessage(r.message); });
        std::vector<Received> expected;
        for (const auto& [message, wParam] : c.expected) expected.push_back({w, message, wParam, c.lParam});
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(Keys, AWindowThatEndsOnItsKeyDownHearsNoMore)
{
    const WindowHandle w = MakeWindow();
    SetHandler([](WindowHandle window, std::uint32_t message, WParam, LParam) -> std::optional<LResult> {
        if (message == wm::KeyDown) DestroyAppWindow(window);
        return std::nullopt;
    });
    DeliverKeyStroke(w, 'P', 0);
    EXPECT_FALSE(IsLiveWindow(w));
    EXPECT_TRUE(ReceivedBy(w, wm::Char).empty());
    EXPECT_TRUE(ReceivedBy(w, wm::KeyUp).empty());
}

// A busy program reads a stroke after its modifier was let go: whether Ctrl
// was held is the stroke's word, not the keyboard's now.
TEST_F(Keys, AModifierLetGoBeforeTheStrokeIsReadWasHeldForIt)
{
    const char* platformName = std::getenv("QT_QPA_PLATFORM");
    if (platformName == nullptr || std::string_view(platformName) != "xcb")
        GTEST_SKIP() << "needs the keyboard of a real X desktop, driven by xdotool";
    const WindowHandle w = MakeWindow();
    ShowAppWindow(w, sw::ShowNormal);
    ASSERT_TRUE(PumpUntil([w] { return GetForegroundAppWindow() == w && GetKeyboardFocus() == w; }));
    std::optional<bool> ctrlHeld;
    SetHandler([&ctrlHeld](WindowHandle, std::uint32_t message, WParam wParam, LParam) -> std::optional<LResult> {
        if (message == wm::KeyDown && wParam == vk::Tab) ctrlHeld = IsKeyHeld(vk::Control);
        return std::nullopt;
    });
    // The whole stroke, Ctrl let go included, is sent before the loop looks.
    ASSERT_EQ(std::system("xdotool key ctrl+Tab"), 0);
    ASSERT_TRUE(PumpUntil([&ctrlHeld] { return ctrlHeld.has_value(); })) << "the stroke never came";
    EXPECT_TRUE(*ctrlHeld);
}

}  // namespace
}  // namespace conformance
