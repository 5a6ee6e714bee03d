// Keeps a note usable: at least 26 x 26 pixels, and at least 26 pixels of it
// inside the work area in each direction. The size is fixed first, then the
// rectangle is shifted without changing it.
#include "note/clamp.h"

#include "platform/window.h"

void ClampNoteRect(platform::Rect& r)
{
    if (r.right - r.left < kMinNoteExtent) r.right = r.left + kMinNoteExtent;
    if (r.bottom - r.top < kMinNoteExtent) r.bottom = r.top + kMinNoteExtent;
    const int width = r.Width();
    const int height = r.Height();
    const platform::Rect wa = platform::GetWorkArea();

    if (r.right < wa.left + kMinNoteExtent) r.left = wa.left + kMinNoteExtent - width;
    if (r.bottom < wa.top + kMinNoteExtent) r.top = wa.top + kMinNoteExtent - height;
    if (r.left > wa.right - kMinNoteExtent) r.left = wa.right - kMinNoteExtent;
    if (r.top > wa.bottom - kMinNoteExtent) r.top = wa.bottom - kMinNoteExtent;
    r.right = r.left + width;
    r.bottom = r.top + height;
}
