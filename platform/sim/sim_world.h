// The state of the simulated desktop, shared by the sim backend's files:
// windows and their z-order, the message queue, input state, the process
// services (lock, clock, random numbers, hotkeys, message boxes), the shell,
// fonts and the input method. Everything lives in one World that sim::Reset
// replaces whole; only the handle counters survive a reset, so that a handle
// kept by a test from before the reset never names a new window.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_box.h"
#include "platform/font.h"
#include "platform/ime.h"
#include "platform/testing/inspect.h"
#include "platform/shared/dialog_layout.h"
#include "platform/shell.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_menu_world.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/window.h"

namespace sim::detail {

using platform::LParam;
using platform::LResult;
using platform::WParam;

struct SimWindow {
    std::u16string className;
    std::u16string title;
    Rect bounds;
    bool shown = false;
    platform::ZBand band = platform::ZBand::Normal;
    bool dirty = false;
    bool erase = false;
    bool destroying = false;  // wm::Destroy is running
    platform::WindowProcFn proc = nullptr;
    // A child window (the editor) lies in its parent's client area: its
    // bounds are in the parent's client coordinates and it is in no z band.
    WindowHandle parent = 0;
    int childId = 0;
};

// The state of an editor control: its text with CR LF line breaks, the
// selection from the anchor to the caret (UTF-16 units), the modification
// flag, the undo steps (the state before each change, newest last) and the
// font it measures with.
struct EditorSnapshot {
    std::u16string text;
    std::int32_t anchor = 0;
    std::int32_t caret = 0;
};
struct EditorState {
    std::u16string text;
    std::int32_t anchor = 0;
    std::int32_t caret = 0;
    bool modified = false;
    bool mouseSelecting = false;
    std::vector<EditorSnapshot> undo;
    platform::FontHandle font = 0;
};

// What a hand-off makes the holder do (ListenForHandOffs).
struct HandOffTarget {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

// The pixels of a window or the screen, 0x00BBGGRR, row by row.
struct PixelBuffer {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// A dialog's control: what tests see, and the pixels the program painted
// into it.
struct SimControl {
    ControlState state;
    Rect client;  // inside its border, in its own coordinates
    platform::Colour background = 0;
    PixelBuffer canvas;
};

struct SimDialogBox {
    std::vector<SimControl> controls;
    platform::shared::BaseUnits units;
    std::optional<int> focus;
    bool ended = false;
    int result = 0;
    std::size_t record = 0;  // its entry in DialogBoxWorld::shown
};

struct DialogBoxWorld {
    std::map<WindowHandle, SimDialogBox> boxes;
    std::vector<WindowHandle> open;  // innermost last
    std::deque<DialogScript> scripts;
    std::vector<ShownDialog> shown;
    // Contexts of BeginControlPaint: the dialog and the control's id.
    std::map<platform::DrawContext, std::pair<WindowHandle, int>> paints;
    platform::DrawContext lastPaint = 0;
};

// A nested loop of a menu, message box or dialog now running: what it
// belongs to (and a menu's or box's entry in the record of those shown),
// whether it was closed as with the Escape key (platform::CloseMenuOrDialog),
// and the answer the user gave at it meanwhile (platform::ChooseMenuItem,
// AnswerMessageBox).
enum class LoopOwner { Menu, MessageBox, Dialog };
struct NestedLoop {
    LoopOwner owner = LoopOwner::Dialog;
    std::size_t shown = 0;
    bool closed = false;
    std::optional<int> answer;
};

struct PostedMessage {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    bool quit = false;  // the quit message, for the thread, with its code in wParam
    std::uint64_t timerSerial = 0;  // the arming of the timer that posted it; 0: posted by a call
};

// A window timer: its period, when it falls due next on the simulated
// clock, and whether its wm::Timer waits in the queue. Every arming gets a
// new serial, so a message of an earlier arming is recognised and dropped.
struct SimTimer {
    int period = 1;
    std::int64_t due = 0;
    bool queued = false;
    std::uint64_t serial = 0;
};

struct World {
    // Windows.
    std::map<std::u16string, platform::WindowProcFn> classes;
    std::map<WindowHandle, SimWindow> windows;
    std::vector<WindowHandle> zOrder;  // front to back, bands kept together
    int restacks = 0;
    WindowHandle active = 0;  // also the foreground window
    WindowHandle focus = 0;
    WindowHandle focusOnActivation = 0;  // asked for the focus while inactive
    WindowHandle capture = 0;
    WindowHandle sessionEndWindow = 0;
    int failCreationCountdown = 0;
    Rect screen{0, 0, 1024, 768};
    Rect workArea{0, 0, 1024, 740};

    // Messages and input.
    std::deque<PostedMessage> queue;
    // The activation the program asked for last, which the loop delivers
    // once the posted messages are done, as the desktop answers such a
    // request later. Requests made before it is delivered come to one, for
    // the window asked for last, as in the desktop backend.
    WindowHandle activationDue = 0;
    int activationsDelivered = 0;
    bool quitPosted = false;
    bool quitDelivered = false;  // reached in the queue, not yet ending a main loop
    int quitCode = 0;
    std::map<std::pair<WindowHandle, std::uint32_t>, int> delivered;
    std::map<std::pair<WindowHandle, std::uint32_t>, std::pair<WParam, LParam>> lastDelivered;
    std::set<std::uint32_t> heldKeys;
    platform::Point pointer{512, 384};  // screen coordinates
    // Time and timers: the clock in milliseconds moves only when a test lets
    // time pass (PumpMessagesFor) or the program waits (SleepMilliseconds).
    std::int64_t nowMs = 0;
    std::map<std::pair<WindowHandle, std::uint32_t>, SimTimer> timers;
    std::uint64_t lastTimerSerial = 0;
    // A signal or the desktop's quit waits for a loop, and for the
    // session-end window to be named.
    bool sessionEndRequested = false;

    // Process services.
    // Lock files by their canonical paths.
    std::set<std::u16string> locksElsewhere;
    std::deque<Holder> holderElsewhere;
    std::vector<std::u16string> handOffsElsewhere;
    std::optional<std::u16string> heldLock;
    std::optional<HandOffTarget> handOffTarget;  // set while listening
    std::u16string modulePath;
    LocalTime clock{2024, 1, 2, 3, 4, 5};
    std::vector<std::uint32_t> randomSequence;  // empty: count up from 0
    std::size_t randomIndex = 0;
    std::vector<int> sleeps;
    std::vector<Hotkey> hotkeys;
    std::deque<int> messageBoxAnswers;
    // The nested loops of menus, message boxes and dialogs now running,
    // innermost last.
    std::vector<NestedLoop> nestedLoops;
    std::vector<ShownMessageBox> messageBoxes;

    // Shell, fonts, input method.
    std::set<platform::IconHandle> icons;
    std::vector<platform::TrayIconData> trayIcons;
    std::vector<TrayMessage> trayMessages;
    bool trayAvailable = true;
    // Where the tray shows the icons, when it tells; unset until a test says.
    std::optional<std::optional<Rect>> trayIconPlace;
    std::map<platform::FontHandle, platform::FontDescription> fonts;
    std::optional<platform::FontDescription> systemFont;  // unset: the sim's own
    std::map<WindowHandle, bool> inputMethodOpen;
    bool inputMethodOpenAtFirst = false;  // for a window nothing was set for
    std::map<WindowHandle, platform::Conversion> inputConversion;
    // The finished composition being delivered to a window, while its
    // wm::ImeComposition is handled.
    std::optional<std::pair<WindowHandle, std::u16string>> composition;
    // The same for a composition still in progress.
    std::optional<std::pair<WindowHandle, std::u16string>> composing;
    // Editor controls by window, and how many copies of an editor's text
    // from now on succeed before one fails as out of memory (0: none fails).
    std::map<WindowHandle, EditorState> editors;
    int failEditorTextCopyCountdown = 0;

    // Drawing: a pixel buffer per window that has painted, the screen's own
    // buffer for the exclusive-or outline, the left button and the cursor.
    std::map<WindowHandle, PixelBuffer> windowPixels;
    PixelBuffer screenPixels;
    bool leftButtonDown = false;
    int arrowCursorSets = 0;
    // Popup menus, common dialogs and shell requests; the program's dialogs.
    MenuWorld menu;
    DialogWorld dialogs;
    DialogBoxWorld boxes;
    // The clipboard's text, and whether it can be reached.
    std::optional<std::u16string> clipboard;
    bool clipboardReachable = true;
};

World& TheWorld();

// Handles count up across resets and are never handed out twice.
WindowHandle NextWindowHandle();
platform::FontHandle NextFontHandle();
platform::IconHandle NextIconHandle();

// The live window with this handle, or null.
SimWindow* FindWindow(WindowHandle window);

// Runs the nested loop of a menu, message box or dialog that is open: what
// is pending is delivered, as the real loop would. Tells how the user left
// it meanwhile.
NestedLoop RunNestedLoop(LoopOwner owner, std::size_t shown = 0);
// The innermost loop when it is one of this owner's with no answer yet (the
// user can still answer there), or null.
NestedLoop* LoopAwaitingAnswer(LoopOwner owner);

// Calls the window's procedure and counts the delivery; 0 for a dead window.
LResult Dispatch(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);

// Z-order: puts the window at the front of the band; Restack applies an
// insert-after value (z::) and is false for one it does not know.
void PlaceInBand(WindowHandle window, platform::ZBand band);
bool Restack(WindowHandle window, std::int32_t insertAfter);

// A window is mapped when it is shown and overlaps the screen (a child: when
// it is shown and its parent is mapped); only a mapped window can be
// activated or take the keyboard focus. The hidden main window, far off the
// screen, never is.
bool IsMapped(WindowHandle window);

// The top-level window a window belongs to: itself, or a child's parent.
WindowHandle TopLevelOf(WindowHandle window);
// The live children of a window, oldest first.
std::vector<WindowHandle> ChildrenOf(WindowHandle window);

// The fixed-metric font: the height of its lines.
std::int32_t FontHeight(platform::FontHandle font);

// Activation: makes the window active (and foreground) at once with the
// wm::Activate pair, the old window first, `how` (wa::) for the new one.
void Activate(WindowHandle window, std::uint32_t how);
// Asks for the activation of a mapped window, which the loop delivers later.
void RequestActivation(WindowHandle window);
// Delivers the activation asked for; false when none waits.
bool DeliverOneActivation();
// Takes the keyboard focus from the window, telling it.
void SendKillFocus(WindowHandle losing);

// A window being hidden gives up activation and focus.
void LeaveHiddenWindow(WindowHandle window);

// The drawing context that a window's erase and paint messages carry, and
// the window a context belongs to (0 for none).
platform::DrawContext DrawContextOf(WindowHandle window);
WindowHandle WindowOfDrawContext(platform::DrawContext context);

// Sends the pending repaint of one window, if any; true when one was sent.
bool PaintIfDirty(WindowHandle window);
// Repaints every shown window that waits for it; true when any was painted.
bool PaintDirtyWindows();

// Forgets what the other parts of the world keep about a destroyed window.
void ForgetWindowServices(WindowHandle window);

// The canvas of a control being painted through this context, or null.
PixelBuffer* ControlCanvas(platform::DrawContext context);

// The sim's fixed-metric measures: a character's width in a font of this
// height (|height| / 2, and |height| from U+0800), where the next character
// starts after `c` at x from a line's start (a tab goes on to the next stop,
// every eight half-width characters), and a text's width as it is drawn.
std::int32_t CharWidth(char16_t c, std::int32_t height);
std::int32_t Advance(std::int32_t x, char16_t c, std::int32_t height);
std::int32_t TextWidth(std::u16string_view text, std::int32_t height);

// A lock file's key: its canonical path, as every path to the same file
// meets the same lock on the desktop. Made first when asked (as taking the
// lock makes it); nullopt when its folder does not exist or it cannot be made.
std::optional<std::u16string> LockKey(const std::u16string& lockFile, bool make);

// Destroys the session-end window when an end was requested and the window
// is named; loops call it each time they look at the queue.
void CarryOutSessionEnd();

// Posts wm::Timer for every timer that has fallen due on the clock and has
// none waiting; loops call it each time they look at the queue.
void PostDueTimers();
// Posts the folder watch's message when the watched folder changed
// (platform/folder_watch.h); loops call it each time they look at the queue.
void PostFolderChanges();
// True when a timer's message may be delivered: the timer still runs with
// the same arming. Marks it as no longer waiting.
bool ClaimTimerMessage(const PostedMessage& posted);

// Runs the oldest work handed over by RunOnMainThread (from the disk
// writer's thread, too); false when none waits. Loops call it first.
bool RunMainThreadWork();
// A new world starts without the old one's work.
void DropMainThreadWork();

}  // namespace sim::detail
