// Process-level services: whether a desktop can be reached, start-up of the
// backend, the single-instance lock and the hand-off to a running instance,
// the program's own path, local time, pseudo-random numbers, waits, the
// system-wide hotkey and message boxes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

// From now on the signals that end the program (SIGTERM, SIGINT, SIGHUP)
// end it through its own shutdown once it runs, instead of killing it where
// it stands. The first thing the program does, so that no moment of its
// start-up is left without them; InitPlatform does it too.
void CatchEndSignals();

// Why the program cannot reach a desktop to show its windows on, as one line
// for the user; empty when it can. Asked before InitPlatform, which cannot
// start without a desktop and would end the process on its own terms.
std::string DesktopUnavailableReason();

// Prepares the backend; called once before anything else.
void InitPlatform(int argc, char** argv);
// Ends what InitPlatform began, as the program's last step: the desktop's
// connection and the threads that serve it stop before the process's exit
// handlers tear down what they still use.
void EndPlatform();

// Single instance. The lock is a lock file: whoever reaches the same file,
// by whatever path, from whatever session, meets the same lock. A process
// holds at most one; asking again for the one it holds finds it taken, asking
// for another fails. It is given back by ReleaseInstanceLock or by the end of
// the process, however it ends. Failed: the file cannot be made or locked.
enum class InstanceLock { Acquired, AlreadyExists, Failed };
InstanceLock AcquireInstanceLock(const std::u16string& lockFile);
void ReleaseInstanceLock();

// The holder of the lock lets later starts reach it: from now until the lock
// is given back, each hand-off request that reaches it posts this message to
// the window, while the window lives. The request carries nothing else, so
// nothing else can be asked of the holder. False when it cannot listen.
bool ListenForHandOffs(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);

// One attempt to hand a request to the holder of the lock file. Queued once
// the holder has posted its message; NotNow when no holder listens (it may
// still be starting, or be ending), or it did not answer.
enum class HandOff { Queued, NotNow };
HandOff HandOffToRunningInstance(const std::u16string& lockFile);

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
