// Note painting. A note has no border: it draws every pixel of itself from
// its record on every paint (fill, text 5 pixels in, the resize grip unless
// it is fixed or being edited, then the two-pixel raised frame). Nothing is
// cached between paints.
#include "note/painting.h"

#include <algorithm>

#include "platform/draw.h"
#include "platform/window.h"
#include "store/records.h"

bool flashing = false;

namespace {

using platform::DrawContext;
using platform::Point;
using platform::Rect;

constexpr int kTextInset = 5;
constexpr std::uint32_t kBlack = 0x00000000;

// Applies a rule to the red, green and blue channels separately.
template <typename Rule>
std::uint32_t PerChannel(std::uint32_t colour, Rule rule)
{
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = static_cast<int>((colour >> shift) & 0xFF);
        result |= static_cast<std::uint32_t>(std::clamp(rule(c), 0, 255)) << shift;
    }
    return result;
}

// The client rectangle: the whole window, at 0, 0.
Rect ClientRect(platform::WindowHandle window)
{
    const Rect bounds = platform::GetWindowBounds(window);
    return Rect{0, 0, bounds.Width(), bounds.Height()};
}

struct Line {
    Point from, to;
};

template <std::size_t N>
void DrawLines(DrawContext context, std::uint32_t colour, const Line (&lines)[N])
{
    for (const Line& line : lines) platform::DrawLine(context, line.from, line.to, colour);
}

// A grip line at distance d from the corner: from the right column to the
// bottom row.
Line GripLine(int w, int h, int d) { return Line{{w - 1, h - d}, {w - d, h - 1}}; }

// The note's record. A note is first painted while its window is being made,
// before `count` includes it: the slot being filled is then its record.
const NoteRecord* NoteOf(platform::WindowHandle window)
{
    if (const NoteRecord* note = FindNote(window)) return note;
    const std::int32_t index = FindNoteIndex(window);
    const bool filling = index >= 0 && static_cast<std::size_t>(index) < noteTable.notes.size() &&
                         noteTable.notes[index].window == window && window != 0;
    return filling ? &noteTable.notes[index] : nullptr;
}

}  // namespace

std::uint32_t LightenColor(std::uint32_t colour)
{
    return PerChannel(colour, [](int c) { return c + (255 - c) / 2; });
}

std::uint32_t ShadeColor(std::uint32_t colour, int k)
{
    return PerChannel(colour, [k](int c) { return c - k; });
}

std::uint32_t TintColor(std::uint32_t colour)
{
    return PerChannel(colour, [](int c) { return c + 64; });
}

void EraseNoteBackground(platform::WindowHandle note, DrawContext context)
{
    if (const NoteRecord* record = NoteOf(note))
        platform::FillSolidRect(context, ClientRect(note), record->backColor);
}

void PaintNote(platform::WindowHandle note, DrawContext context)
{
    const NoteRecord* record = NoteOf(note);
    if (record == nullptr) return;
    const Rect r = ClientRect(note);
    platform::FillSolidRect(context, r, flashing ? LightenColor(record->backColor) : record->backColor);
    if (record->text && !record->text->empty()) {
        const Rect inset{kTextInset, kTextInset, r.right - kTextInset, r.bottom - kTextInset};
        platform::DrawTextInRect(context, *record->text, inset, record->textColor, record->fontHandle);
    }
    if (record->fixed == 0 && record->editWindow == 0) DrawResizeGrip(context, r, record->backColor);
    DrawNoteFrame(context, r, record->backColor);
}

void DrawResizeGrip(DrawContext context, Rect client, std::uint32_t base)
{
    const int w = client.right;
    const int h = client.bottom;
    DrawLines(context, ShadeColor(base, 64), {GripLine(w, h, 5), GripLine(w, h, 9), GripLine(w, h, 13)});
    DrawLines(context, ShadeColor(base, 8), {GripLine(w, h, 6), GripLine(w, h, 10), GripLine(w, h, 14)});
    DrawLines(context, ShadeColor(base, 51), {GripLine(w, h, 8), GripLine(w, h, 12)});
}

void DrawNoteFrame(DrawContext context, Rect client, std::uint32_t base)
{
    const int w = client.right;
    const int h = client.bottom;
    DrawLines(context, kBlack, {Line{{w - 1, 0}, {w - 1, h - 1}}, Line{{0, h - 1}, {w, h - 1}}});
    DrawLines(context, base, {Line{{0, 0}, {0, h - 1}}, Line{{0, 0}, {w - 1, 0}}});
    DrawLines(context, ShadeColor(base, 64), {Line{{w - 2, 1}, {w - 2, h - 2}}, Line{{1, h - 2}, {w - 1, h - 2}}});
    DrawLines(context, TintColor(base), {Line{{1, 1}, {1, h - 2}}, Line{{1, 1}, {w - 2, 1}}});
}

void RepaintNote(platform::WindowHandle note)
{
    platform::InvalidateWindow(note, true);
    platform::UpdateAppWindow(note);
}
