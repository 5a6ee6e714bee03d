// What tests ask of the desktop beyond what the program itself needs: which
// windows live and where they stand, which window is active, has the
// keyboard focus or holds the pointer, the pixels a window shows, pumping
// the posted messages without a main loop or for a while of timers,
// closing a menu or dialog as the Escape key would, the file layer's
// failure seam and save counter, waiting for the disk writer, whether the desktop has a tray, key strokes
// and close requests delivered as the desktop delivers them, the desktop
// ending the program, and the open dialog's controls: where they stand,
// which has the focus, what they show, and the mouse on them.
//
// Both backends implement all of it, so that the conformance tests can hold
// the simulation to the real desktop through the same calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialog_box.h"
#include "platform/draw.h"
#include "platform/types.h"

namespace platform {

bool IsLiveWindow(WindowHandle window);

// A window of this process with the given class and title, or 0.
WindowHandle FindAppWindow(const std::u16string& className, const std::u16string& title);

// Where a window stands: its band and its rank among all windows, 0 = in front.
// Bands are declared front to back, so they compare in stacking order.
enum class ZBand { Topmost, Normal, Bottom };
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

// Waits until the disk writer has run all the work handed to it so far
// (and the work that work handed on).
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

}  // namespace platform
