// Process-level services: start-up of the backend, the single-instance lock
// and the hand-off to a running instance, the program's own path, local time,
// pseudo-random numbers, waits, the system-wide hotkey and message boxes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

// Prepares the backend; called once before anything else.
void InitPlatform(int argc, char** argv);

// Single instance. The lock is per user; "already exists" means another
// process of this user holds it.
enum class InstanceLock { Acquired, AlreadyExists, Failed };
InstanceLock AcquireInstanceLock(const std::u16string& name);
void ReleaseInstanceLock();

// Posts a message to the running instance's window of this class and title.
// Returns false when no such instance or window can be reached.
bool PostToRunningInstance(const std::u16string& lockName, const std::u16string& className,
                           const std::u16string& title, std::uint32_t message, WParam wParam,
                           LParam lParam);

// Full path of the program file, or empty when it cannot be found out.
std::u16string GetModuleFilePath();

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime GetLocalTimeNow();

std::uint32_t RandomNumber();

void SleepMilliseconds(int milliseconds);

// System-wide hotkey by identifier, modifier mask (mod::) and virtual key.
bool RegisterSystemHotkey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t virtualKey);
bool UnregisterSystemHotkey(WindowHandle window, int id);

// Message boxes: style is the sum of one button set, one icon and options.
namespace mb {
inline constexpr std::uint32_t Ok = 0x0;
inline constexpr std::uint32_t YesNoCancel = 0x3;
inline constexpr std::uint32_t YesNo = 0x4;
inline constexpr std::uint32_t IconQuestion = 0x20;
inline constexpr std::uint32_t IconExclamation = 0x30;
inline constexpr std::uint32_t SetForeground = 0x10000;
}  // namespace mb
namespace id {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace id

// Shows a modal message box (a nested message loop runs meanwhile) and
// returns the button chosen (id::).
int ShowMessageBox(const std::u16string& text, const std::u16string& caption, std::uint32_t style);

}  // namespace platform
