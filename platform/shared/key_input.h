// Keyboard input shared by the backends: what a key types with the Shift and
// Ctrl keys held (a US keyboard), and which message family a key stroke
// belongs to. The sim forms its key messages with these, and the Qt backend
// its test strokes, so both deliver the same input. Internal to platform/.
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

// The character a key types, 0 for a key that types none. Letters follow
// Shift and become control characters with Ctrl; digits and space type
// themselves; Tab, Return, Backspace and Escape type their control codes.
inline char16_t TypedCharacter(std::uint32_t virtualKey, bool shift, bool ctrl)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        if (ctrl) return static_cast<char16_t>(virtualKey - 'A' + 1);
        return static_cast<char16_t>(shift ? virtualKey : virtualKey - 'A' + 'a');
    }
    if (ctrl) return 0;
    if ((virtualKey >= '0' && virtualKey <= '9' && !shift) || virtualKey == vk::Space)
        return static_cast<char16_t>(virtualKey);
    switch (virtualKey) {
    case vk::Tab:
    case vk::Return:
    case vk::Back:
    case vk::Escape: return static_cast<char16_t>(virtualKey);
    default: return 0;
    }
}

}  // namespace platform::shared
