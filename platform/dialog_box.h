// The program's own dialogs: a template that the program keeps as data
// (caption, font, size, and per control its id, class, text, style and
// rectangle in dialog units), run modally with a dialog procedure, and the
// operations that procedure uses on its controls.
//
// Dialog units follow the dialog's font: a horizontal unit is a quarter of
// the font's average character width, a vertical unit an eighth of its
// character height, so a layout keeps its proportions at any font size and
// on HiDPI screens. The face "System" stands for the desktop's own dialog
// font, with Japanese glyphs. A label whose text is wider than its
// rectangle grows (to the right, to the left when right-aligned, to both
// sides when centred) as far as the next control on its row or the dialog's
// edge, so that no text is cut off where the desktop's font runs wider than
// the one the layout was drawn for.
//
// A dialog is a window: it takes posted messages, which its nested loop
// delivers, and its bounds can be read and moved. Controls are named by the
// dialog and their id.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"

namespace platform {

enum class ControlClass { Button, Edit, Static, ListBox };

// Window styles of dialogs and controls. Child and Group are kept so that a
// template holds its styles whole; the backends read the others.
namespace ws {
inline constexpr std::uint32_t TabStop = 0x00010000;
inline constexpr std::uint32_t Group = 0x00020000;
inline constexpr std::uint32_t SysMenu = 0x00080000;  // the dialog has a close box
inline constexpr std::uint32_t VScroll = 0x00200000;
inline constexpr std::uint32_t Border = 0x00800000;
inline constexpr std::uint32_t Caption = 0x00C00000;
inline constexpr std::uint32_t Disabled = 0x08000000;
inline constexpr std::uint32_t Visible = 0x10000000;
inline constexpr std::uint32_t Child = 0x40000000;
}  // namespace ws

// Dialog styles (the template's own).
namespace ds {
inline constexpr std::uint32_t SetFont = 0x40;
inline constexpr std::uint32_t ModalFrame = 0x80;
}  // namespace ds

// Button kinds, in the low four bits of a button's style. A program-managed
// radio button is ticked only by the program; a click just reports itself.
namespace bs {
inline constexpr std::uint32_t PushButton = 0x0;
inline constexpr std::uint32_t DefPushButton = 0x1;  // pressed by the Enter key
inline constexpr std::uint32_t AutoCheckBox = 0x3;   // a click toggles its tick
inline constexpr std::uint32_t RadioButton = 0x4;
inline constexpr std::uint32_t KindMask = 0xF;
}  // namespace bs

// Static controls: the text's alignment, or an icon.
namespace ss {
inline constexpr std::uint32_t Left = 0x0;
inline constexpr std::uint32_t Center = 0x1;
inline constexpr std::uint32_t Right = 0x2;
inline constexpr std::uint32_t Icon = 0x3;
inline constexpr std::uint32_t KindMask = 0x1F;
inline constexpr std::uint32_t NoPrefix = 0x80;  // "&" is shown as itself
}  // namespace ss

// Edit controls.
namespace es {
inline constexpr std::uint32_t Center = 0x1;
inline constexpr std::uint32_t AutoHScroll = 0x80;
inline constexpr std::uint32_t ReadOnly = 0x800;
}  // namespace es

// List boxes: Sort keeps the items in order (upper and lower case alike);
// Notify reports the user's changes of the selection.
namespace lbs {
inline constexpr std::uint32_t Notify = 0x1;
inline constexpr std::uint32_t Sort = 0x2;
}  // namespace lbs

// What a control reports in the high word of wm::Command's wParam (the low
// word is its id); lParam is 0.
namespace bn {
inline constexpr std::uint32_t Clicked = 0;
}  // namespace bn
namespace lbn {
inline constexpr std::uint32_t SelectionChanged = 1;
}  // namespace lbn
namespace en {
inline constexpr std::uint32_t Changed = 0x300;  // the user changed the text
}  // namespace en

constexpr WParam ControlCommand(int id, std::uint32_t code)
{
    return static_cast<WParam>((static_cast<std::uint32_t>(id) & 0xFFFF) | (code << 16));
}
constexpr std::uint32_t HighWord(std::uintptr_t v) { return static_cast<std::uint32_t>((v >> 16) & 0xFFFF); }

// A rectangle in dialog units: left, top, width, height.
struct DialogRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct DialogItem {
    int id = -1;  // -1: a label nothing refers to
    ControlClass kind = ControlClass::Static;
    std::u16string text;
    std::uint32_t style = 0;
    DialogRect rect;
    int icon = 0;  // ss::Icon: the icon resource shown
};

struct DialogTemplate {
    std::u16string caption;
    std::u16string fontFace;
    int fontPoints = 0;
    std::uint32_t style = 0;
    DialogRect rect;  // where the dialog first stands, in units of its own font
    std::vector<DialogItem> items;
};

// Runs the dialog modally and returns its result, or -1 when it cannot be
// made. The procedure gets wm::InitDialog (lParam = parameter) before the
// dialog shows; a non-zero answer gives the keyboard focus to the first
// enabled control that is a tab stop. Controls report to the procedure
// with wm::Command (sent at once). The close box and the Escape key send
// wm::Command with id::Cancel (2), the Enter key the default button's id.
// Posted messages, also those posted to the dialog itself, are delivered
// while it is open; wm::Destroy comes last, once it has ended. The
// procedure answers non-zero for what it handled.
int RunModalDialog(const DialogTemplate& dialog, WindowProcFn procedure, LParam parameter);

// Ends the dialog with this result once the message being handled is done.
bool EndModalDialog(WindowHandle dialog, int result);

// Control operations. Each returns false (or an empty value) for a control
// that does not exist. Changes made by the program report nothing.
bool SetControlText(WindowHandle dialog, int id, const std::u16string& text);
std::u16string GetControlText(WindowHandle dialog, int id);
// Check boxes and radio buttons: 1 ticked, 0 clear.
bool SetControlCheck(WindowHandle dialog, int id, int state);
int GetControlCheck(WindowHandle dialog, int id);
bool EnableControl(WindowHandle dialog, int id, bool enable);

// List boxes. Adding puts the item in order in a sorted list and at the end
// of any other; it returns the item's index, -1 on failure. A selection of
// -1 is none.
bool ClearList(WindowHandle dialog, int id);
int AddListItem(WindowHandle dialog, int id, const std::u16string& text);
std::optional<std::u16string> GetListItem(WindowHandle dialog, int id, int index);
bool SetListSelection(WindowHandle dialog, int id, int index);
int GetListSelection(WindowHandle dialog, int id);

// Painting a control from outside its own painting, as the font sample is:
// the drawing calls of platform/draw.h work on the context until
// EndControlPaint, in the control's client coordinates. What is painted
// stays until it is painted over. Edit boxes can be painted; for any other
// control the context is 0.
struct ControlPaint {
    DrawContext context = 0;
    Rect client;            // the area inside the control's border
    Colour background = 0;  // the control's own background colour
    Colour text = 0;        // and text colour
};
ControlPaint BeginControlPaint(WindowHandle dialog, int id);
void EndControlPaint(const ControlPaint& paint);

}  // namespace platform
