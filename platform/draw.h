// Drawing: what a window paints with while it handles wm::EraseBackground and
// wm::Paint (solid fills, one-pixel lines, text into a rectangle), text
// extents for sizing, the dotted outline drawn in exclusive-or mode over the
// whole screen while a note is dragged, whole-screen repainting and the
// pointer's cursor.
//
// wm::EraseBackground carries the window's drawing context in wParam; a
// wm::Paint handler takes it from BeginPaint. A context is valid until the
// handler returns. Coordinates in a context are client coordinates. Colours are 0x00BBGGRR. Nothing is anti-aliased, so
// every pixel is exactly the colour asked for.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace platform {

using Colour = std::uint32_t;

struct TextSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The drawing context of the window's paint in progress (wm::Paint), 0 when
// it cannot paint now; EndPaint ends its use.
DrawContext BeginPaint(WindowHandle window);
void EndPaint(WindowHandle window, DrawContext context);

// Fills the rectangle (right and bottom edges excluded) with one colour.
void FillSolidRect(DrawContext context, Rect rect, Colour colour);

// A one-pixel line from `from` towards `to`; `to` itself is not set, so
// lines joined end to start set every pixel once.
void DrawLine(DrawContext context, Point from, Point to, Colour colour);

// Draws text into the rectangle in one colour on a transparent background:
// top-left aligned, never wrapped (lines break only at the text's own line
// breaks: CR LF, CR or LF), tabs expanded to stops every eight average
// character widths from the rectangle's left edge, "&" drawn as itself, and
// everything outside the rectangle cut off. The text ends at its first NUL,
// if it has one. Font 0 is the context's default font. The cost is that of
// what can show: lines below the rectangle and characters past its right
// edge are not laid out, so a text of many megabytes draws as fast as its
// first screenful.
void DrawTextInRect(DrawContext context, std::u16string_view text, Rect rect, Colour colour,
                    FontHandle font);

// The width and height of the text drawn on one line in the font (0 = the
// default font), with no clipping: as wide as DrawTextInRect draws it, tabs
// reaching their stops, and as high as DrawTextInRect and the editor
// advance from one line to the next. That height is one for every line of
// the font, whatever characters the line holds and whichever face they come
// from.
TextSize MeasureText(FontHandle font, std::u16string_view text);

// Draws a dotted rectangle outline over the whole screen in exclusive-or
// mode: drawing the same rectangle again removes it.
void DrawScreenFocusRect(Rect screenRect);

// Marks every window on the screen for repainting with erase.
void InvalidateScreen();

// Shows the standard arrow as the pointer's cursor.
void SetArrowCursor();

}  // namespace platform
