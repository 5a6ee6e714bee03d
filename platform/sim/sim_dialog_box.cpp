// The program's own dialogs on the simulated desktop: a dialog is a window
// of the table with its controls (ids, classes, texts, pixel rectangles,
// states). While it is open, the test's script plays the user; posted
// messages are delivered as by the real nested loop. The dialog font is the
// fixed-metric font, 12 pixels high for "System" 8 pt, which makes its base
// units 7 by 12 pixels.
#include <algorithm>

#include "platform/sim/sim_world.h"
#include "platform/system.h"

namespace sim::detail {
namespace {

using platform::ControlClass;
using platform::DialogItem;
using platform::DrawContext;
using platform::Rect;
namespace shared = platform::shared;

constexpr char16_t kDialogClass[] = u"dialog";
// Contexts of control paints lie far above the window contexts.
constexpr DrawContext kControlPaintBase = 0x40000000;
constexpr platform::Colour kFaceColour = 0x00C0C0C0;   // buttons, labels, read-only boxes
constexpr platform::Colour kFieldColour = 0x00FFFFFF;  // edit boxes and lists
constexpr platform::Colour kTextColour = 0x00000000;

DialogBoxWorld& Boxes() { return TheWorld().boxes; }

SimDialogBox* FindBox(WindowHandle dialog)
{
    auto it = Boxes().boxes.find(dialog);
    return it == Boxes().boxes.end() ? nullptr : &it->second;
}

SimControl* FindSimControl(WindowHandle dialog, int id)
{
    SimDialogBox* box = FindBox(dialog);
    if (box == nullptr || id == -1) return nullptr;
    for (SimControl& control : box->controls)
        if (control.state.id == id) return &control;
    return nullptr;
}

// The fixed-metric font: "System" 8 pt is 12 pixels high, other sizes in
// proportion; a letter is half as wide as high, a full-width character as
// wide as high.
shared::BaseUnits UnitsOf(const platform::DialogTemplate& dialog)
{
    const std::int32_t height = std::max(dialog.fontPoints, 1) * 3 / 2;
    return shared::BaseUnitsOf(height / 2, height, height);
}

bool IsEditable(const SimControl& control)
{
    return control.state.kind == ControlClass::Edit && !(control.state.style & platform::es::ReadOnly);
}

std::uint32_t ButtonKind(const SimControl& control) { return control.state.style & platform::bs::KindMask; }

// The width a control's text needs: a check box or radio button adds its
// box and a gap as wide as the font is high.
std::int32_t NeededWidth(const DialogItem& item, std::int32_t fontHeight)
{
    const std::int32_t text = TextWidth(item.text, fontHeight);
    return item.kind == ControlClass::Button ? text + fontHeight + 4 : text;
}

SimControl MakeControl(const DialogItem& item, Rect bounds)
{
    SimControl control;
    control.state.id = item.id;
    control.state.kind = item.kind;
    control.state.style = item.style;
    control.state.text = item.text;
    control.state.bounds = bounds;
    control.state.enabled = !(item.style & platform::ws::Disabled);
    const std::int32_t border = (item.style & platform::ws::Border) ? 1 : 0;
    control.client = Rect{0, 0, std::max(bounds.Width() - 2 * border, 0), std::max(bounds.Height() - 2 * border, 0)};
    const bool field = item.kind == ControlClass::ListBox ||
                       (item.kind == ControlClass::Edit && !(item.style & platform::es::ReadOnly));
    control.background = field ? kFieldColour : kFaceColour;
    return control;
}

std::vector<SimControl> LayOut(const platform::DialogTemplate& dialog, shared::BaseUnits units)
{
    std::vector<shared::LaidOutItem> laidOut;
    for (const DialogItem& item : dialog.items)
        laidOut.push_back({shared::ToPixels(item.rect, units), NeededWidth(item, units.y), shared::GrowthOf(item)});
    const Rect client = shared::ToPixels({0, 0, dialog.rect.width, dialog.rect.height}, units);
    shared::FitLabels(laidOut, client.Width(), units.x / 4);
    std::vector<SimControl> controls;
    for (std::size_t i = 0; i < dialog.items.size(); ++i)
        controls.push_back(MakeControl(dialog.items[i], laidOut[i].bounds));
    return controls;
}

bool IsOpen(WindowHandle dialog)
{
    const SimDialogBox* box = FindBox(dialog);
    return box != nullptr && !box->ended && platform::IsLiveWindow(dialog);
}

void Report(WindowHandle dialog, int id, std::uint32_t code)
{
    Dispatch(dialog, platform::wm::Command, platform::ControlCommand(id, code), 0);
}

// The Escape key and the close box ask the procedure to cancel.
void Cancel(WindowHandle dialog)
{
    Report(dialog, platform::id::Cancel, platform::bn::Clicked);
    platform::PumpMessages();
}

void FocusFirstTabStop(WindowHandle dialog)
{
    SimDialogBox* box = FindBox(dialog);
    for (const SimControl& control : box->controls) {
        if ((control.state.style & platform::ws::TabStop) && control.state.enabled) {
            box->focus = control.state.id;
            return;
        }
    }
}

// The dialog's loop: what was posted, then the user's script, then the
// Escape key for a dialog the user left open. A procedure that will not end
// even then is ended with 0, since no user is left to close it.
void RunDialogLoop(WindowHandle dialog)
{
    auto& loops = TheWorld().nestedLoops;
    loops.emplace_back().owner = LoopOwner::Dialog;
    platform::PumpMessages();
    bool scripted = false;
    bool cancelled = false;
    while (IsOpen(dialog)) {
        if (loops.back().closed) {
            loops.back().closed = false;
            Cancel(dialog);
        } else if (!scripted && !Boxes().scripts.empty()) {
            scripted = true;
            const DialogScript script = std::move(Boxes().scripts.front());
            Boxes().scripts.pop_front();
            script(dialog);
            platform::PumpMessages();
        } else if (!cancelled) {
            cancelled = true;
            Cancel(dialog);
        } else {
            platform::EndModalDialog(dialog, 0);
        }
    }
    loops.pop_back();
}

WindowHandle CreateDialogWindow(const platform::DialogTemplate& dialog, platform::WindowProcFn procedure,
                                shared::BaseUnits units)
{
    const Rect place = shared::ToPixels(dialog.rect, units);
    const Rect client = shared::ToPixels({0, 0, dialog.rect.width, dialog.rect.height}, units);
    const WindowHandle handle = NextWindowHandle();
    SimWindow window;
    window.className = kDialogClass;
    window.title = dialog.caption;
    window.bounds = Rect{place.left, place.top, place.left + client.Width(), place.top + client.Height()};
    window.proc = procedure;
    TheWorld().windows.emplace(handle, window);
    TheWorld().zOrder.insert(TheWorld().zOrder.begin(), handle);
    PlaceInBand(handle, platform::ZBand::Topmost);
    return handle;
}

// A dialog takes the activation and the keys from the program's windows as
// the desktop's dialog window does on Qt: the active window hears that it
// is inactive, with no window of the program active after it.
void TakeActivation()
{
    World& world = TheWorld();
    const WindowHandle previous = world.active;
    world.active = 0;
    if (previous != 0) Dispatch(previous, platform::wm::Activate, platform::wa::Inactive, 0);
    if (world.focus != 0) SendKillFocus(world.focus);
}

ControlState Snapshot(const SimControl& control) { return control.state; }

void RecordState(WindowHandle dialog)
{
    SimDialogBox* box = FindBox(dialog);
    ShownDialog& shown = Boxes().shown[box->record];
    shown.bounds = platform::GetWindowBounds(dialog);
    shown.controls.clear();
    for (const SimControl& control : box->controls) shown.controls.push_back(Snapshot(control));
    shown.result = box->result;
}

}  // namespace

PixelBuffer* ControlCanvas(DrawContext context)
{
    auto it = Boxes().paints.find(context);
    if (it == Boxes().paints.end()) return nullptr;
    SimControl* control = FindSimControl(it->second.first, it->second.second);
    return control == nullptr ? nullptr : &control->canvas;
}

}  // namespace sim::detail

namespace platform {

using namespace sim::detail;

int RunModalDialog(const DialogTemplate& dialog, WindowProcFn procedure, LParam parameter)
{
    if (procedure == nullptr) return -1;
    const shared::BaseUnits units = UnitsOf(dialog);
    const WindowHandle handle = CreateDialogWindow(dialog, procedure, units);
    SimDialogBox box;
    box.controls = LayOut(dialog, units);
    box.units = units;
    box.record = Boxes().shown.size();
    Boxes().shown.push_back({dialog.caption, parameter, {}, {}, 0});
    Boxes().boxes.emplace(handle, std::move(box));
    Boxes().open.push_back(handle);

    if (Dispatch(handle, wm::InitDialog, 0, parameter) != 0 && IsOpen(handle)) FocusFirstTabStop(handle);
    if (IsOpen(handle)) {
        FindWindow(handle)->shown = true;
        TakeActivation();
        RunDialogLoop(handle);
    }
    const int result = FindBox(handle)->result;
    RecordState(handle);
    DestroyAppWindow(handle);
    Boxes().boxes.erase(handle);
    std::erase(Boxes().open, handle);
    std::erase_if(Boxes().paints, [handle](const auto& paint) { return paint.second.first == handle; });
    return result;
}

bool EndModalDialog(WindowHandle dialog, int result)
{
    SimDialogBox* box = FindBox(dialog);
    if (box == nullptr || box->ended) return false;
    box->ended = true;
    box->result = result;
    return true;
}

bool SetControlText(WindowHandle dialog, int id, const std::u16string& text)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr) return false;
    control->state.text = text;
    return true;
}

std::u16string GetControlText(WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    return control == nullptr ? std::u16string() : control->state.text;
}

bool SetControlCheck(WindowHandle dialog, int id, int state)
{
    // Check boxes and radio buttons only: a push button has no tick.
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || control->state.kind != ControlClass::Button) return false;
    if (ButtonKind(*control) != platform::bs::AutoCheckBox && ButtonKind(*control) != platform::bs::RadioButton)
        return false;
    control->state.checked = state != 0 ? 1 : 0;
    return true;
}

int GetControlCheck(WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    return control == nullptr ? 0 : control->state.checked;
}

bool EnableControl(WindowHandle dialog, int id, bool enable)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr) return false;
    control->state.enabled = enable;
    // A control that loses its input loses the keyboard focus too.
    SimDialogBox* box = FindBox(dialog);
    if (!enable && box->focus == id) box->focus.reset();
    return true;
}

bool IsControlEnabled(WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    return control != nullptr && control->state.enabled;
}

bool FocusControl(WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || !control->state.enabled) return false;
    FindBox(dialog)->focus = id;
    return true;
}

bool ClearList(WindowHandle dialog, int id)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || control->state.kind != ControlClass::ListBox) return false;
    control->state.items.clear();
    control->state.selection = -1;
    return true;
}

int AddListItem(WindowHandle dialog, int id, const std::u16string& text)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || control->state.kind != ControlClass::ListBox) return -1;
    auto& items = control->state.items;
    int index = static_cast<int>(items.size());
    if (control->state.style & lbs::Sort)
        index = shared::SortedInsertIndex(items, text, [](const std::u16string& item) { return std::u16string_view(item); });
    items.insert(items.begin() + index, text);
    // The selection stays on its item.
    if (control->state.selection >= index) ++control->state.selection;
    return index;
}

int GetListCount(WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    return control == nullptr ? 0 : static_cast<int>(control->state.items.size());
}

std::optional<std::u16string> GetListItem(WindowHandle dialog, int id, int index)
{
    const SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || index < 0 || index >= static_cast<int>(control->state.items.size())) return std::nullopt;
    return control->state.items[index];
}

bool SetListSelection(WindowHandle dialog, int id, int index)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || control->state.kind != ControlClass::ListBox) return false;
    if (index < -1 || index >= static_cast<int>(control->state.items.size())) return false;
    control->state.selection = index;
    return true;
}

int GetListSelection(WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    return control == nullptr ? -1 : control->state.selection;
}

ControlPaint BeginControlPaint(WindowHandle dialog, int id)
{
    // Edit boxes only: the font sample is one.
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || control->state.kind != ControlClass::Edit) return {};
    PixelBuffer& canvas = control->canvas;
    if (canvas.width != control->client.Width() || canvas.height != control->client.Height()) {
        canvas.width = control->client.Width();
        canvas.height = control->client.Height();
        canvas.pixels.assign(static_cast<std::size_t>(canvas.width) * canvas.height, control->background);
    }
    ++control->state.paints;
    const DrawContext context = kControlPaintBase + ++Boxes().lastPaint;
    Boxes().paints[context] = {dialog, id};
    return ControlPaint{context, control->client, control->background, kTextColour};
}

void EndControlPaint(const ControlPaint& paint) { Boxes().paints.erase(paint.context); }

WindowHandle GetOpenDialog() { return Boxes().open.empty() ? 0 : Boxes().open.back(); }

DialogUnitsInPixels GetDialogBaseUnits(WindowHandle dialog)
{
    const SimDialogBox* box = FindBox(dialog);
    return box == nullptr ? DialogUnitsInPixels{} : DialogUnitsInPixels{box->units.x, box->units.y};
}

Rect GetControlBounds(WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    return control == nullptr ? Rect{} : control->state.bounds;
}

std::optional<int> GetFocusedControl(WindowHandle dialog)
{
    const SimDialogBox* box = FindBox(dialog);
    return box == nullptr ? std::nullopt : box->focus;
}

bool ClickControl(WindowHandle dialog, int id)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || control->state.kind != ControlClass::Button || !control->state.enabled) return false;
    if (ButtonKind(*control) == bs::AutoCheckBox) control->state.checked ^= 1;
    Report(dialog, id, bn::Clicked);
    PumpMessages();
    return true;
}

bool ClickListItem(WindowHandle dialog, int id, int index)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || control->state.kind != ControlClass::ListBox || !control->state.enabled) return false;
    if (index < 0 || index >= static_cast<int>(control->state.items.size())) return false;
    // Clicking the item already selected changes nothing and reports nothing.
    const bool changed = control->state.selection != index;
    control->state.selection = index;
    if (changed && (control->state.style & lbs::Notify)) Report(dialog, id, lbn::SelectionChanged);
    PumpMessages();
    return true;
}

bool ClickCloseBox(WindowHandle dialog)
{
    if (!IsOpen(dialog)) return false;
    Cancel(dialog);
    return true;
}

bool ReadControlPixel(WindowHandle dialog, int id, Point client, Colour& colour)
{
    const SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || client.x < 0 || client.y < 0 || client.x >= control->client.Width() ||
        client.y >= control->client.Height())
        return false;
    const PixelBuffer& canvas = control->canvas;
    // Never painted: the control shows its own background.
    colour = canvas.pixels.empty() ? control->background
                                   : canvas.pixels[static_cast<std::size_t>(client.y) * canvas.width + client.x];
    return true;
}

}  // namespace platform

namespace sim {

using namespace sim::detail;

void QueueDialogScript(DialogScript script) { Boxes().scripts.push_back(std::move(script)); }

const ControlState* FindControl(platform::WindowHandle dialog, int id)
{
    const SimControl* control = FindSimControl(dialog, id);
    return control == nullptr ? nullptr : &control->state;
}

bool TypeInControl(platform::WindowHandle dialog, int id, std::u16string_view text)
{
    SimControl* control = FindSimControl(dialog, id);
    if (control == nullptr || !IsEditable(*control) || !control->state.enabled) return false;
    FindBox(dialog)->focus = id;
    control->state.text = std::u16string(text);
    Report(dialog, id, platform::en::Changed);
    platform::PumpMessages();
    return true;
}

std::uint32_t ControlPixel(platform::WindowHandle dialog, int id, int x, int y)
{
    platform::Colour colour = kNoPixel;
    platform::ReadControlPixel(dialog, id, platform::Point{x, y}, colour);
    return colour;
}

const std::vector<ShownDialog>& DialogsShown() { return Boxes().shown; }

}  // namespace sim
