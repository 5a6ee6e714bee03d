// Note interaction. A press outside the resize corner drags the note, one in
// the corner resizes it; a dotted outline follows the mouse and the window
// moves only on release, clamped so the note stays usable. Clicks with
// modifiers recolour the note or open its menu; keys nudge, resize,
// recolour, flash and peel the focused note. Start reading at
// TrackNoteDrag and OnNoteLeftUp.
#include "note/interaction.h"

#include "note/clamp.h"
#include "note/context_menu.h"
#include "note/levels.h"
#include "note/painting.h"
#include "platform/draw.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/messages.h"
#include "store/records.h"

DragState dragState;

namespace {

using platform::LParam;
using platform::LResult;
using platform::Point;
using platform::Rect;
using platform::WindowHandle;
using platform::WParam;
namespace vk = platform::vk;

constexpr int kCornerSize = 10;  // the corner's 9 pixels plus the edge outside the window
constexpr int kFlashMilliseconds = 100;

bool Held(std::uint32_t key) { return platform::IsKeyHeld(key); }

Point ClientPoint(LParam lParam) { return Point{platform::LowSigned(lParam), platform::HighSigned(lParam)}; }

// One edge pair of a resize: the fixed edge stays, the moved edge may pass it.
void Span(std::int32_t fixed, std::int32_t moved, std::int32_t& low, std::int32_t& high)
{
    low = moved >= fixed ? fixed : moved;
    high = moved >= fixed ? moved : fixed;
}

// The rectangle the drag asks for with the mouse at screen point c.
Rect DraggedRect(Point c)
{
    const int dx = c.x - dragState.pressPoint.x;
    const int dy = c.y - dragState.pressPoint.y;
    const Rect s = dragState.startRect;
    if (!dragState.resizing) return Rect{s.left + dx, s.top + dy, s.right + dx, s.bottom + dy};
    Rect r;
    Span(s.left, s.right + dx, r.left, r.right);
    Span(s.top, s.bottom + dy, r.top, r.bottom);
    return r;
}

// The window has not moved during the drag, so the start rectangle turns a
// client point into a screen point.
Point ScreenPointOf(Point client)
{
    return Point{dragState.startRect.left + client.x, dragState.startRect.top + client.y};
}

void Press(WindowHandle note, Point client)
{
    if (dragState.active) return;
    dragState.active = true;
    platform::CapturePointer(note);
    dragState.startRect = platform::GetWindowBounds(note);
    dragState.pressPoint = ScreenPointOf(client);
    dragState.resizing = HitResizeCorner(dragState.pressPoint, dragState.startRect);
    dragState.outline = dragState.startRect;
    platform::DrawScreenFocusRect(dragState.outline);
}

void Move(WParam flags, Point client)
{
    if (!dragState.active || flags != platform::mk::LeftButton) return;
    platform::DrawScreenFocusRect(dragState.outline);
    dragState.outline = DraggedRect(ScreenPointOf(client));
    platform::DrawScreenFocusRect(dragState.outline);
}

bool Release(WindowHandle note, Point client)
{
    if (!dragState.active) return false;
    dragState.active = false;
    platform::ReleasePointer();
    platform::DrawScreenFocusRect(dragState.outline);
    const Point c = ScreenPointOf(client);
    if (c == dragState.pressPoint) {
        dragState.resizing = false;
        return false;
    }
    Rect target = DraggedRect(c);
    dragState.resizing = false;
    ClampNoteRect(target);
    platform::MoveAppWindow(note, target, true);
    return true;
}

void Cancel()
{
    if (!dragState.active) return;
    dragState.active = false;
    dragState.resizing = false;
    platform::ReleasePointer();
    platform::DrawScreenFocusRect(dragState.outline);
    platform::SetArrowCursor();
}

void RecolourAndSave(WindowHandle note, bool forward)
{
    CycleBackColor(note, forward);
    RepaintNote(note);
    SaveDataFileAfter(SaveTrigger::ColourCycle);
}

// Arrow keys: a plain arrow moves the note by a pixel, with Shift it moves
// the right or bottom edge instead.
void NudgeNote(WindowHandle note, std::uint32_t key)
{
    Rect r = platform::GetWindowBounds(note);
    const int step = (key == vk::Left || key == vk::Up) ? -1 : 1;
    const bool horizontal = key == vk::Left || key == vk::Right;
    if (Held(vk::Shift)) {
        (horizontal ? r.right : r.bottom) += step;
    } else if (horizontal) {
        r.left += step;
        r.right += step;
    } else {
        r.top += step;
        r.bottom += step;
    }
    ClampNoteRect(r);
    platform::MoveAppWindow(note, r, true);
}

void TabKey(std::int32_t index)
{
    if (Held(vk::Control))
        platform::PostWindowMessage(mainWindow, MSG_SHOW_MAIN_MENU, 0, 0);
    else if (Held(vk::Shift))
        RaisePreviousNote(index);
    else
        RaiseNextNote(index);
}

}  // namespace

bool HitResizeCorner(Point p, Rect w)
{
    return w.right - kCornerSize < p.x && p.x <= w.right && w.bottom - kCornerSize < p.y && p.y <= w.bottom;
}

bool TrackNoteDrag(WindowHandle note, DragEvent event, WParam flags, Point client)
{
    switch (event) {
    case DragEvent::Press: Press(note, client); return false;
    case DragEvent::Move: Move(flags, client); return false;
    case DragEvent::Release: return Release(note, client);
    case DragEvent::Cancel: Cancel(); return false;
    }
    return false;
}

void CycleBackColor(WindowHandle window, bool forward)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    int i = 0;
    while (i < kPaletteSize && notePalette[i] != note->backColor) ++i;
    if (i == kPaletteSize) {
        note->backColor = notePalette[0];
        return;
    }
    i = (i + (forward ? 1 : -1) + kPaletteSize) % kPaletteSize;
    note->backColor = notePalette[i];
}

void FlashNoteAndOpenMenu(WindowHandle note)
{
    const Rect bounds = platform::GetWindowBounds(note);
    const Point centre{bounds.Width() / 2, bounds.Height() / 2};
    flashing = true;
    RepaintNote(note);
    // The menu opens when this arrives, after the flash has ended.
    platform::PostWindowMessage(note, MSG_SHOW_NOTE_MENU, 0, platform::PackPoint(centre.x, centre.y));
    platform::SleepMilliseconds(kFlashMilliseconds);
    flashing = false;
    RepaintNote(note);
}

void HandleNoteKey(WindowHandle window, std::uint32_t key)
{
    const NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    const bool shift = Held(vk::Shift);
    const bool ctrl = Held(vk::Control);
    switch (key) {
    case vk::Tab: TabKey(FindNoteIndex(window)); break;
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
        if (note->fixed == 0) NudgeNote(window, key);
        break;
    case vk::Delete: PromptPeel(window); break;
    case 'B':
        if (shift) RecolourAndSave(window, !ctrl);
        break;
    case 'P': FlashNoteAndOpenMenu(window); break;
    case 'T':
        if (ctrl) RaiseAllNotes();
        break;
    default: break;
    }
}

LResult OnNoteLeftDown(WindowHandle window, WParam wParam, LParam lParam)
{
    const NoteRecord* note = FindNote(window);
    if (note == nullptr) return 0;
    if (note->editWindow != 0) {
        platform::PostWindowMessage(window, MSG_END_EDIT, 0, 0);
        return 0;
    }
    // Alt is not looked at here: a press with Alt drags as usual.
    if (Held(vk::Control) || Held(vk::Shift) || note->fixed != 0) return 0;
    TrackNoteDrag(window, DragEvent::Press, wParam, ClientPoint(lParam));
    return 0;
}

LResult OnNoteMouseMove(WindowHandle window, WParam wParam, LParam lParam)
{
    TrackNoteDrag(window, DragEvent::Move, wParam, ClientPoint(lParam));
    return 0;
}

LResult OnNoteLeftUp(WindowHandle window, WParam wParam, LParam lParam)
{
    if (TrackNoteDrag(window, DragEvent::Release, wParam, ClientPoint(lParam))) {
        SaveDataFileAfter(SaveTrigger::DragEnd);
        RepaintNote(window);
        // The outline may have crossed any window.
        platform::InvalidateScreen();
        platform::UpdateAppWindow(window);
    }
    if (Held(vk::Alt)) {
        platform::PostWindowMessage(window, MSG_SHOW_NOTE_MENU, 0, lParam);
        return 0;
    }
    if (Held(vk::Shift)) RecolourAndSave(window, !Held(vk::Control));
    return 0;
}

LResult OnNoteDoubleClick(WindowHandle window)
{
    if (noteSettings.editGesture != 0 && !Held(vk::Control)) return 0;
    if (Held(vk::Shift)) return 0;
    PostCommand(window, CMD_EDIT_DIRECT, 0);
    return 0;
}

LResult OnNoteSysChar(WindowHandle window, WParam character)
{
    if (Held(vk::Alt) && (character == 'P' || character == 'p')) FlashNoteAndOpenMenu(window);
    return 0;
}

LResult OnNoteDeactivate(WindowHandle window)
{
    TrackNoteDrag(window, DragEvent::Cancel, 0, Point{});
    if (!Held(vk::Alt) && !Held(vk::Shift) && !Held(vk::Control))
        platform::PostWindowMessage(window, MSG_END_EDIT, 0, 0);
    return 0;
}
