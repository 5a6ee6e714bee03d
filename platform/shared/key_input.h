// Keyboard input shared by the backends: what a key of a US keyboard types
// with the Shift and Ctrl keys held, which key types a character, and which
// message family a key stroke belongs to. The sim forms its key messages
// with these, and the Qt backend its test strokes and the virtual keys of
// punctuation, so both deliver the same input. Internal to platform/.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform::shared {

// A key stroke with Alt held and Ctrl not held is a system key stroke: it
// arrives as wm::SysKeyDown, wm::SysChar and wm::SysKeyUp, with bit 29 of
// lParam set. With Ctrl held as well (the AltGr combination) it is ordinary.
inline bool IsSystemKeyStroke(std::uint32_t virtualKey, bool alt, bool ctrl)
{
    return virtualKey == vk::Alt || (alt && !ctrl);
}

// lParam of the key messages of one stroke: a repeat count of one, and the
// Alt flag of a system stroke.
inline LParam KeyMessageLParam(bool system) { return system ? (1 | (1 << 29)) : 1; }

// The punctuation keys of a US keyboard: the virtual key (the codes 186 to
// 192 and 219 to 222), the character it types and the one it types with
// Shift. Digits type ")!@#$%^&*(" with Shift.
struct PunctuationKey {
    std::uint32_t virtualKey;
    char16_t plain;
    char16_t shifted;
};
inline constexpr PunctuationKey kPunctuationKeys[] = {
    {186, u';', u':'}, {187, u'=', u'+'}, {188, u',', u'<'},  {189, u'-', u'_'},
    {190, u'.', u'>'}, {191, u'/', u'?'}, {192, u'`', u'~'},  {219, u'[', u'{'},
    {220, u'\\', u'|'}, {221, u']', u'}'}, {222, u'\'', u'"'},
};
inline constexpr char16_t kShiftedDigits[] = u")!@#$%^&*(";

// The character a key types, 0 for a key that types none. Letters follow
// Shift and become control characters with Ctrl; digits and punctuation
// type their US characters, with Shift the shifted ones; space types
// itself; Tab, Return, Backspace and Escape type their control codes.
inline char16_t TypedCharacter(std::uint32_t virtualKey, bool shift, bool ctrl)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        if (ctrl) return static_cast<char16_t>(virtualKey - 'A' + 1);
        return static_cast<char16_t>(shift ? virtualKey : virtualKey - 'A' + 'a');
    }
    if (ctrl) return 0;
    if (virtualKey >= '0' && virtualKey <= '9')
        return shift ? kShiftedDigits[virtualKey - '0'] : static_cast<char16_t>(virtualKey);
    for (const PunctuationKey& k : kPunctuationKeys)
        if (k.virtualKey == virtualKey) return shift ? k.shifted : k.plain;
    switch (virtualKey) {
    case vk::Space:
    case vk::Tab:
    case vk::Return:
    case vk::Back:
    case vk::Escape: return static_cast<char16_t>(virtualKey);
    default: return 0;
    }
}

// The key of a US keyboard that types the printable character, and whether
// Shift is held for it; false for a character no such key types.
inline bool KeyOfCharacter(char16_t c, std::uint32_t& virtualKey, bool& shift)
{
    shift = false;
    if ((c >= u'0' && c <= u'9') || c == u' ') {
        virtualKey = c;
        return true;
    }
    if (c >= u'a' && c <= u'z') {
        virtualKey = c - u'a' + u'A';
        return true;
    }
    if (c >= u'A' && c <= u'Z') {
        virtualKey = c;
        shift = true;
        return true;
    }
    for (std::uint32_t digit = 0; digit < 10; ++digit) {
        if (kShiftedDigits[digit] == c) {
            virtualKey = '0' + digit;
            shift = true;
            return true;
        }
    }
    for (const PunctuationKey& k : kPunctuationKeys) {
        if (k.plain == c || k.shifted == c) {
            virtualKey = k.virtualKey;
            shift = k.shifted == c;
            return true;
        }
    }
    return false;
}

}  // namespace platform::shared
