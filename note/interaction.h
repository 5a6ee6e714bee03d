// What a note does with the mouse and the keys: dragging to move or resize,
// clicks with modifiers, the double click, the keys that move, resize,
// recolour, flash and peel a note, and the end of a drag when the note
// loses activation.
#pragma once

#include "platform/types.h"

// The one drag in progress (the dragged note holds the pointer capture).
struct DragState {
    bool active = false;
    bool resizing = false;     // the press was in the resize corner
    platform::Point pressPoint;  // screen
    platform::Rect startRect;    // the window at the press, screen
    platform::Rect outline;      // the outline on the screen now
};
extern DragState dragState;

enum class DragEvent { Press, Move, Release, Cancel };

// Release: true when the window was moved or resized. The other events
// return false.
bool TrackNoteDrag(platform::WindowHandle note, DragEvent event, platform::WParam flags, platform::Point client);

// The 9 x 9 corner at the bottom-right of a window rectangle.
bool HitResizeCorner(platform::Point screenPoint, platform::Rect window);

// Steps backColor through the palette; the caller repaints and saves.
void CycleBackColor(platform::WindowHandle note, bool forward);

void HandleNoteKey(platform::WindowHandle note, std::uint32_t virtualKey);

// Shows the note lightened for a moment and asks for its menu at its centre.
void FlashNoteAndOpenMenu(platform::WindowHandle note);

// The window procedure's handlers of a note's pointer and key messages.
platform::LResult OnNoteLeftDown(platform::WindowHandle note, platform::WParam wParam, platform::LParam lParam);
platform::LResult OnNoteMouseMove(platform::WindowHandle note, platform::WParam wParam, platform::LParam lParam);
platform::LResult OnNoteLeftUp(platform::WindowHandle note, platform::WParam wParam, platform::LParam lParam);
platform::LResult OnNoteDoubleClick(platform::WindowHandle note);
platform::LResult OnNoteSysChar(platform::WindowHandle note, platform::WParam character);
platform::LResult OnNoteDeactivate(platform::WindowHandle note);
