// Control of the headless backend, for the behaviour tests only.
//
// The simulated desktop is deterministic: a fixed screen and work area, a
// settable clock and random sequence, key state that tests set, scripted
// answers for message boxes, and a record of everything that was shown.
// Posted messages wait in one queue until a loop pumps them; nothing runs on
// its own. Files are real files (platform/posix).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/font.h"
#include "platform/ime.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/testing/inspect.h"
#include "platform/types.h"
#include "platform/window.h"

namespace sim {

using platform::LocalTime;
using platform::Rect;
using platform::WindowHandle;

// Forgets every window, class, queued message, icon, hotkey, lock, script and
// record, and restores the defaults: screen 0,0-1024,768, work area
// 0,0-1024,740, clock 2024/01/02 03:04:05, random numbers 0, 1, 2, ...
void Reset();

// The program file's path that GetModuleFilePath reports.
void SetModulePath(const std::u16string& path);

void SetKeyHeld(std::uint32_t virtualKey, bool held);
void SetLocalTime(const LocalTime& time);
// Numbers that RandomNumber returns, in order; the last repeats.
void SetRandomSequence(const std::vector<std::uint32_t>& numbers);
void SetScreen(const Rect& screen, const Rect& workArea);
// Waits asked for by SleepMilliseconds, in order (nothing is slept; the
// simulated clock moves on by the wait).
const std::vector<int>& Sleeps();
// The simulated clock in milliseconds since the last Reset. It moves only
// through platform::PumpMessagesFor and SleepMilliseconds.
std::int64_t Now();

// Window creation fails for the n-th CreateAppWindow from now (1 = next).
void FailNthWindowCreation(int n);

// Message boxes: answers are taken in order; with none queued the box
// answers with its first button (id::Ok or id::Yes).
void QueueMessageBoxAnswer(int answer);
struct ShownMessageBox {
    std::u16string text;
    std::u16string caption;
    std::uint32_t style = 0;
    int answer = 0;
};
const std::vector<ShownMessageBox>& MessageBoxes();

// Tray icons that are currently added.
std::vector<platform::TrayIconData> TrayIcons();
// The desktop's tray goes (every icon goes with it, and adding one fails) or
// comes (wm::TrayCreated is posted to every window, in handle order).
void SetTrayAvailable(bool available);
// Where the tray tells its icons stand: by default a 22 x 22 square two
// pixels in from the screen's bottom-right corner, below the default work
// area as a bottom panel's would be; nullopt for a tray that does not tell.
void SetTrayIconPlace(const std::optional<Rect>& place);
// A click on the tray icon: posts its callback message with the pointer message.
void ClickTrayIcon(std::uint32_t pointerMessage);
// Messages shown at tray icons, in order.
struct TrayMessage {
    WindowHandle owner = 0;
    std::uint32_t id = 0;
    std::u16string title;
    std::u16string text;
};
const std::vector<TrayMessage>& TrayMessages();

struct Hotkey {
    WindowHandle window = 0;
    int id = 0;
    std::uint32_t modifiers = 0;
    std::uint32_t virtualKey = 0;
};
std::vector<Hotkey> Hotkeys();
// The user presses a registered hotkey: posts wm::Hotkey; false when none.
bool PressHotkey(std::uint32_t modifiers, std::uint32_t virtualKey);

// Another process holds the single-instance lock of this lock file (by
// whatever path it is named).
void SetInstanceLockHeldElsewhere(const std::u16string& lockFile, bool held);
// How that other process answers this process's hand-off attempts, one
// answer per attempt, the last one repeating; with none scripted it queues
// every one. Ends: it has ended, and its lock is free from then on.
enum class Holder { Queues, NotListening, Ends };
void ScriptHolderElsewhere(std::vector<Holder> answers);
// Lock files of the hand-offs that the other process queued, in order.
const std::vector<std::u16string>& HandOffsElsewhere();
// A later start in another process hands its request to this one, as the
// socket brings it: posts the message chosen by ListenForHandOffs and
// answers Queued while this process listens and the window lives.
platform::HandOff HandOffFromElsewhere();

// The quit message: whether one was posted and its code.
bool QuitPosted();
int QuitCode();

// Every live window, front to back.
std::vector<WindowHandle> WindowsInZOrder();
// The requests that cost the desktop work over all the windows it holds,
// counted since the reset: activations it carried out (each raises a window
// and moves the focus) and restackings (each moves a window in the z order).
int ActivationsDelivered();
int Restacks();
std::u16string WindowClass(WindowHandle window);
std::u16string WindowTitle(WindowHandle window);
// Count of messages of this number delivered to the window so far.
int DeliveredCount(WindowHandle window, std::uint32_t message);
// The arguments of the last message of this number delivered to the window
// (0, 0 when none was).
std::pair<platform::WParam, platform::LParam> LastDelivered(WindowHandle window, std::uint32_t message);

// A key pressed and released at the window while the held keys are held:
// its key-down message, the character it types, its key-up message. With Alt
// held (and Ctrl not) they come in their system forms (wm::SysKeyDown, ...).
void PressKey(WindowHandle window, std::uint32_t virtualKey);

// The pointer goes to this screen point without a button pressed.
void MovePointerTo(platform::Point screen);

// Types the text at the window key by key, as the desktop's keyboard does:
// each character is its key's key-down, the character and key-up (an
// upper-case letter with Shift held, a line break as Return; with Alt held
// in the system forms). Letters, digits, the punctuation of a US keyboard,
// space, Tab and line breaks have keys; false (and the rest untyped) at a character without one, which
// comes through the input method instead (platform::DeliverComposition).
// A paste from the keyboard is platform::DeliverKeyStroke(window, 'V',
// platform::mod::Control).
bool TypeText(WindowHandle window, std::u16string_view text);

// The mouse, at a point in the window's client coordinates. The messages are
// sent at once to the window that holds the pointer capture, or else to this
// one, with the point turned into the receiver's client coordinates and the
// mk:: flags of the held button and the held Shift and Ctrl keys. A press on
// a window that is not active activates it first, as a click does. The
// pointer is then at that point of the screen.
void PointerDown(WindowHandle window, platform::Point client);
void PointerMove(WindowHandle window, platform::Point client);
void PointerUp(WindowHandle window, platform::Point client);
// The second click of a double click (instead of its press); follow with PointerUp.
void DoubleClick(WindowHandle window, platform::Point client);
// A press, move, release or double click at a point of a window where one of
// its shown children (the editor) lies reaches the child, at the point in
// the child's client coordinates, as on the desktop.

// The editor control: the n-th copy of an editor's text from now on (1 =
// the next; GetEditorText) fails as when memory runs out, throwing
// std::bad_alloc; 0 switches the failure off. The control does not scroll;
// its font is fixed-metric like every sim font.
void FailNthEditorTextCopy(int n);

// Pixels as drawn, 0x00BBGGRR: a window's client pixel (white until painted)
// and a screen pixel (black unless an outline is drawn over it); kNoPixel
// outside.
inline constexpr std::uint32_t kNoPixel = 0xFFFFFFFFu;
std::uint32_t WindowPixel(WindowHandle window, int x, int y);
std::uint32_t ScreenPixel(int x, int y);
// How often the cursor was set to the standard arrow.
int ArrowCursorSets();

}  // namespace sim

namespace sim {
// The desktop ends the program (as SIGTERM would) and a loop runs: the
// session-end window is destroyed. False when none is set yet (the request
// then waits for one) or it is gone.
bool EndSession();
}  // namespace sim

namespace sim {
// Whether a window's input method is open before the program sets it, as on
// a desktop whose input method keeps one state for all windows; closed
// unless a test says otherwise.
void SetInputMethodOpenAtFirst(bool open);
// The conversion mode last set for a window's input method; nullopt when
// none was set.
std::optional<platform::Conversion> InputConversion(WindowHandle window);
// The system's stock font from now on; its character set tells whether its
// face has Japanese glyphs.
void SetSystemFont(const platform::FontDescription& font);
}  // namespace sim

namespace sim {
// The clipboard: its text (nullopt = none), and whether it can be reached.
std::optional<std::u16string> ClipboardText();
void SetClipboardContent(std::optional<std::u16string> text);
void SetClipboardReachable(bool reachable);
}  // namespace sim
