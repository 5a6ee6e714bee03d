// What tests ask of the desktop beyond what the program itself needs: which
// windows live and where they stand, which window is active, has the
// keyboard focus or holds the pointer, the pixels a window shows, pumping
// the posted messages without a main loop or for a while of timers,
// closing a menu or dialog as the Escape key would, the file layer's
// failure seam and save counter, waiting for the disk writer, whether the
// desktop has an input method, key strokes, the mouse, compositions, close
// requests, menu choices, message-box answers and tray clicks delivered as
// the desktop delivers them, the desktop ending the program, and the open
// dialog's controls: where they stand, which has the focus, what they
// show, and the mouse and keyboard on them.
//
// Only test programs include it and link its implementations: the desktop
// backend's in platform/qt/testing/ (library platform_qt_testing), the
// headless backend's in its own library (built for tests alone), and the
// file layer's in platform/posix/testing/ (platform_posix_testing). The
// shipped program holds none of it. Both backends implement all of it, so
// that the conformance tests hold the simulation to the real desktop
// through the same calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialog_box.h"
#include "platform/draw.h"
#include "platform/shared/window_state.h"
#include "platform/types.h"

namespace platform {

// A window of this process with the given class and title, or 0.
WindowHandle FindAppWindow(const std::u16string& className, const std::u16string& title);

// Where a window stands: its band and its rank among all windows, 0 = in front.
ZBand GetZBand(WindowHandle window);
int GetZRank(WindowHandle window);

// The window with the keyboard focus, and the one holding the pointer capture.
WindowHandle GetKeyboardFocus();
WindowHandle GetPointerCapture();

// Delivers every posted message that is pending now, and those they post in
// turn, then returns. The nested loops of menus and dialogs do the same.
void PumpMessages();

// What a window shows at a client point, as 0x00BBGGRR; false when it cannot
// be read (no such window, point outside it) or, on a screen scaled to more
// than one device pixel per point, when those device pixels differ.
bool ReadWindowPixel(WindowHandle window, Point client, Colour& colour);

// The n-th low-level file write from now on (1 = the next) fails, as a full
// disk would make it fail; 0 switches the failure off.
void FailNthFileWrite(int n);

// How many whole-file replacements of this path have completed in this
// process; tests count the saves of a file with it.
int CompletedReplacements(const std::u16string& path);

// Waits until the disk writer (platform/writer.h) has run all the work
// handed to it so far.
void WaitForWriterIdle();

// Closes the popup menu, message box or dialog whose nested loop is running
// (the innermost one), as the Escape key does: a menu chooses nothing, a
// common dialog is cancelled, a message box gives its Escape answer (id::No
// for Yes/No, id::Cancel for Yes/No/Cancel, id::Ok for OK), and the
// program's own dialog hears id::Cancel. Nothing happens when none is open.
void CloseMenuOrDialog();

// Whether the desktop runs an input-method framework that the program
// reaches; without one, opening, closing and setting the conversion mode
// report failure and every input method reads as closed.
bool IsInputMethodAvailable();

// A key pressed and released at the window while the modifiers (mod::) are
// held, turned into the window's key messages as the desktop's keyboard
// input is. The modifier keys themselves are not pressed.
void DeliverKeyStroke(WindowHandle window, std::uint32_t virtualKey, std::uint32_t modifiers);

// A finished input-method composition of `text` at the window, as the
// desktop's input method delivers one: wm::ImeComposition with
// gcs::ResultString, during which GetCompositionResult gives the text.
void DeliverComposition(WindowHandle window, std::u16string_view text);

// A composition of `text` still in progress at the window: wm::ImeComposition
// with gcs::CompositionString, during which GetComposingText gives the text.
// The editor shows it without taking it into its text.
void DeliverComposing(WindowHandle window, std::u16string_view text);

// The mouse's left button at a client point of the window, as the desktop's
// mouse delivers it, while the modifiers (mod::) are held: pressed, moved,
// released, or a double click (a click, then the second press, which comes
// as the double click; its release is a Release of its own). It reaches the
// window holding the pointer capture, or else the window (or its shown
// child) under the point, through the window's own pointer handling.
enum class MouseAction { Press, Move, Release, DoubleClick };
void DeliverMouse(WindowHandle window, MouseAction action, Point client, std::uint32_t modifiers);

// The user at the innermost popup menu or message box whose nested loop is
// running: chooses the enabled command with this id (also one inside a
// submenu), as a click on it does; or gives the box's answer (id::) with
// its button. False, with the menu or box left open, when there is no such
// command or button.
bool ChooseMenuItem(std::uint32_t id);
bool AnswerMessageBox(int answer);

// The desktop's late word that the program lost the focus, as comes after
// a focused window was hidden, while a menu the user has not touched yet
// is open: the menu stays open for the user.
void DeliverLateFocusLoss();

// A click on the tray icon of this owner and id, as the desktop's tray
// reports one: an icon added with nif::Message posts its callback message
// with the id and wm::LeftButtonUp (the tray tells of any click as that
// one). False when there is no such icon.
bool ClickTrayIcon(WindowHandle owner, std::uint32_t id);

// The desktop asks to close the window, as its close button, Alt+F4 or the
// window manager's close do: wm::SysCommand with sc::Close is sent to it.
void DeliverCloseRequest(WindowHandle window);

// Asks the program to end as the desktop does: by a signal, or by the
// toolkit's own quit at the end of a session (SetSessionEndWindow).
enum class SessionEnd { Terminate, Hangup, Interrupt, DesktopQuit };
void RequestSessionEnd(SessionEnd how);

// Delivers messages for `milliseconds`, as an idle loop would: posted
// messages, and timers as they fall due. On the headless backend no time
// passes for real: its clock moves on from one due timer to the next.
void PumpMessagesFor(int milliseconds);

// The innermost dialog that RunModalDialog has open, 0 when none.
WindowHandle GetOpenDialog();

// The dialog font's average character width and height in pixels, from
// which its dialog units are mapped; zero for a window that is no dialog.
struct DialogUnitsInPixels {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
DialogUnitsInPixels GetDialogBaseUnits(WindowHandle dialog);

// A control's rectangle in the dialog's client area, pixels; an empty
// rectangle when there is no such control.
Rect GetControlBounds(WindowHandle dialog, int id);

// The control that has the keyboard focus in the dialog, if any.
std::optional<int> GetFocusedControl(WindowHandle dialog);

// Whether a control takes input, and the keyboard focus moved to one (an
// enabled control that takes the focus only; false otherwise).
bool IsControlEnabled(WindowHandle dialog, int id);
bool FocusControl(WindowHandle dialog, int id);

// How many items a list box holds.
int GetListCount(WindowHandle dialog, int id);

// The mouse on a dialog: a click on a button (an enabled one only; a check
// box toggles first when it ticks itself), a click on a list's item, and a
// click on the dialog's close box. Each acts as the desktop's own input
// does, reporting to the procedure before it returns; false when there is
// nothing to click.
bool ClickControl(WindowHandle dialog, int id);
bool ClickListItem(WindowHandle dialog, int id, int index);
bool ClickCloseBox(WindowHandle dialog);

// What a control shows at a point of its client area (inside its border),
// as 0x00BBGGRR; false when it cannot be read.
bool ReadControlPixel(WindowHandle dialog, int id, Point client, Colour& colour);

// The editor's text length in UTF-16 units, its line breaks as CR LF.
std::int32_t GetEditorTextLength(WindowHandle editor);

}  // namespace platform
