// Qt's key and mouse events as the program's messages.
#include "platform/qt/qt_input.h"

#include <utility>

#include "platform/shared/key_input.h"
#include "platform/shared/window_state.h"
#include "platform/window.h"

namespace platform::qt {
namespace {

// Qt's keys and the virtual keys they stand for; the first row of a virtual
// key is the Qt key it is given back as.
constexpr std::pair<int, std::uint32_t> kKeyTable[] = {
    {Qt::Key_Backspace, vk::Back}, {Qt::Key_Tab, vk::Tab},         {Qt::Key_Backtab, vk::Tab},
    {Qt::Key_Return, vk::Return},  {Qt::Key_Enter, vk::Return},     {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control}, {Qt::Key_Alt, vk::Alt},         {Qt::Key_Escape, vk::Escape},
    {Qt::Key_Space, vk::Space},    {Qt::Key_PageUp, vk::PageUp},    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},             {Qt::Key_Home, 36},              {Qt::Key_Left, vk::Left},
    {Qt::Key_Up, vk::Up},          {Qt::Key_Right, vk::Right},      {Qt::Key_Down, vk::Down},
    {Qt::Key_Insert, vk::Insert},  {Qt::Key_Delete, vk::Delete},    {Qt::Key_Kana_Lock, vk::Kana},
    {Qt::Key_Hiragana_Katakana, vk::Kana}, {Qt::Key_Katakana, vk::Kana},
};

// A key stroke with Alt held and Ctrl not held comes in the system forms of
// the key messages, so that Alt+P, Alt+arrows and Alt+Delete do not act as
// the plain keys.
bool IsSystemStroke(const QKeyEvent& event, std::uint32_t virtualKey)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return shared::IsSystemKeyStroke(virtualKey, modifiers.testFlag(Qt::AltModifier),
                                     modifiers.testFlag(Qt::ControlModifier));
}

// Characters the keyboard typed, as the character messages carry them.
void SendCharacters(WindowHandle window, const QKeyEvent& event, bool system)
{
    const QString text = event.text();
    const LParam lParam = shared::KeyMessageLParam(system);
    if (system) {
        if (!text.isEmpty())
            SendWindowMessage(window, wm::SysChar, text.at(0).unicode(), lParam);
        return;
    }
    for (const QChar c : text) {
        if (c.unicode() == 0x7F || !IsLiveWindow(window))
            continue;  // Delete is a key, not a character
        SendWindowMessage(window, wm::Char, c.unicode(), lParam);
    }
}

}  // namespace

std::uint32_t VirtualKeyOf(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<std::uint32_t>(key);  // Qt's codes are the upper-case characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return vk::F1 + static_cast<std::uint32_t>(key - Qt::Key_F1);
    // Qt names a punctuation key by the character it typed (Shift+1 is "!"):
    // the key of a US keyboard that types it.
    std::uint32_t virtualKey = 0;
    bool shift = false;
    if (key > Qt::Key_Space && key < 0x7F && shared::KeyOfCharacter(static_cast<char16_t>(key), virtualKey, shift))
        return virtualKey;
    for (const auto& [qtKey, code] : kKeyTable) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

int QtKeyOf(std::uint32_t virtualKey)
{
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
        return static_cast<int>(virtualKey);
    if (virtualKey >= vk::F1 && virtualKey <= vk::F24)
        return Qt::Key_F1 + static_cast<int>(virtualKey - vk::F1);
    for (const shared::PunctuationKey& k : shared::kPunctuationKeys) {
        if (k.virtualKey == virtualKey)
            return k.plain;
    }
    for (const auto& [qtKey, key] : kKeyTable) {
        if (key == virtualKey)
            return qtKey;
    }
    return Qt::Key_unknown;
}

namespace {

// The virtual key of a press: its key's, or for a key that typed a
// character and has no code of its own (a letter of another layout, a
// character typed through a spare key) the generic code of a typed character.
std::uint32_t VirtualKeyOfPress(const QKeyEvent& event)
{
    if (const std::uint32_t key = VirtualKeyOf(event.key()))
        return key;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).unicode() >= 0x20 && text.at(0).unicode() != 0x7F ? vk::Packet : 0;
}

}  // namespace

void SendKeyPress(WindowHandle window, const QKeyEvent& event)
{
    const std::uint32_t key = VirtualKeyOfPress(event);
    const bool system = IsSystemStroke(event, key);
    if (key) {
        const LParam repeat = event.isAutoRepeat() ? (1 << 30) : 0;
        SendWindowMessage(window, system ? wm::SysKeyDown : wm::KeyDown, key,
                          shared::KeyMessageLParam(system) | repeat);
    }
    if (IsLiveWindow(window))
        SendCharacters(window, event, system);
}

void SendKeyRelease(WindowHandle window, const QKeyEvent& event)
{
    const std::uint32_t key = VirtualKeyOfPress(event);
    if (!key)
        return;
    const bool system = IsSystemStroke(event, key);
    SendWindowMessage(window, system ? wm::SysKeyUp : wm::KeyUp, key, shared::KeyMessageLParam(system));
}

WParam PointerFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    WParam flags = 0;
    if (buttons.testFlag(Qt::LeftButton))
        flags |= mk::LeftButton;
    if (buttons.testFlag(Qt::RightButton))
        flags |= mk::RightButton;
    if (modifiers.testFlag(Qt::ShiftModifier))
        flags |= mk::Shift;
    if (modifiers.testFlag(Qt::ControlModifier))
        flags |= mk::Control;
    return flags;
}

void SendPointer(WindowHandle window, std::uint32_t message, const QMouseEvent& event)
{
    const QPoint at = event.position().toPoint();
    SendWindowMessage(window, message, PointerFlags(event.buttons(), event.modifiers()),
                      PackPoint(at.x(), at.y()));
}

void SendButton(WindowHandle window, const QMouseEvent& event, bool pressed)
{
    if (event.button() == Qt::LeftButton)
        SendPointer(window, pressed ? wm::LeftButtonDown : wm::LeftButtonUp, event);
    else if (event.button() == Qt::RightButton)
        SendPointer(window, pressed ? wm::RightButtonDown : wm::RightButtonUp, event);
}

}  // namespace platform::qt
