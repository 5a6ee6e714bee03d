// Drawing on the simulated desktop: every window that paints gets a pixel
// buffer of its size (white when made or resized), the screen has its own
// buffer for the exclusive-or outline, and text is drawn with a fixed-metric
// font whose glyphs are filled boxes, so tests can predict every pixel.
//
// Font metrics: a character is |height| / 2 pixels wide (|height| for
// characters from U+0800 up), a line is |height| pixels high; a glyph is its
// cell filled in the text colour, inset by one pixel; spaces and tabs leave
// the cell empty.
#include <algorithm>
#include <cstdlib>

#include "platform/draw.h"
#include "platform/testing/inspect.h"
#include "platform/shared/line_raster.h"
#include "platform/shared/text_lines.h"
#include "platform/sim/sim_world.h"

namespace sim::detail {

namespace {
// Contexts are the window handle above this base, so they are never 0.
constexpr platform::DrawContext kDrawContextBase = 0x10000;
}  // namespace

platform::DrawContext DrawContextOf(WindowHandle window) { return kDrawContextBase + window; }

WindowHandle WindowOfDrawContext(platform::DrawContext context)
{
    if (context <= kDrawContextBase) return 0;
    const WindowHandle window = context - kDrawContextBase;
    return FindWindow(window) ? window : 0;
}

std::int32_t FontHeight(platform::FontHandle font)
{
    constexpr std::int32_t kDefaultFontHeight = 12;
    const auto& fonts = TheWorld().fonts;
    const auto it = fonts.find(font);
    if (it == fonts.end() || it->second.height == 0) return kDefaultFontHeight;
    return std::abs(it->second.height);
}

std::int32_t CharWidth(char16_t c, std::int32_t height) { return c >= 0x0800 ? height : height / 2; }

std::int32_t Advance(std::int32_t x, char16_t c, std::int32_t height)
{
    const std::int32_t tabStop = 8 * (height / 2);
    if (c != u'\t') return x + CharWidth(c, height);
    return tabStop > 0 ? (x / tabStop + 1) * tabStop : x;
}

std::int32_t TextWidth(std::u16string_view text, std::int32_t height)
{
    std::int32_t width = 0;
    for (const char16_t c : text) width = Advance(width, c, height);
    return width;
}

}  // namespace sim::detail

namespace {

using platform::Colour;
using platform::DrawContext;
using platform::Point;
using platform::Rect;
using platform::WindowHandle;
using sim::detail::PixelBuffer;
using sim::detail::Advance;
using sim::detail::FontHeight;
using sim::detail::TheWorld;

constexpr Colour kFreshWindow = 0x00FFFFFF;
constexpr Colour kFreshScreen = 0x00000000;
constexpr Colour kXorMask = 0x00FFFFFF;
void Fit(PixelBuffer& buffer, std::int32_t width, std::int32_t height, Colour fresh)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (buffer.width == width && buffer.height == height) return;
    buffer.width = width;
    buffer.height = height;
    buffer.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fresh);
}

// The buffer of a window, sized to the window now.
PixelBuffer* WindowBuffer(WindowHandle window)
{
    const sim::detail::SimWindow* w = sim::detail::FindWindow(window);
    if (w == nullptr) return nullptr;
    PixelBuffer& buffer = TheWorld().windowPixels[window];
    Fit(buffer, w->bounds.Width(), w->bounds.Height(), kFreshWindow);
    return &buffer;
}

PixelBuffer& ScreenBuffer()
{
    const Rect screen = TheWorld().screen;
    PixelBuffer& buffer = TheWorld().screenPixels;
    Fit(buffer, screen.right, screen.bottom, kFreshScreen);
    return buffer;
}

// A window's paint or a control's canvas.
PixelBuffer* ContextBuffer(DrawContext context)
{
    if (PixelBuffer* canvas = sim::detail::ControlCanvas(context)) return canvas;
    const WindowHandle window = sim::detail::WindowOfDrawContext(context);
    return window == 0 ? nullptr : WindowBuffer(window);
}

Colour* PixelAt(PixelBuffer& buffer, std::int32_t x, std::int32_t y)
{
    if (x < 0 || y < 0 || x >= buffer.width || y >= buffer.height) return nullptr;
    return &buffer.pixels[static_cast<std::size_t>(y) * buffer.width + x];
}

void Fill(PixelBuffer& buffer, Rect rect, Colour colour)
{
    for (std::int32_t y = rect.top; y < rect.bottom; ++y)
        for (std::int32_t x = rect.left; x < rect.right; ++x)
            if (Colour* p = PixelAt(buffer, x, y)) *p = colour;
}

Rect Intersect(Rect a, Rect b)
{
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// Draws one line of text (no line breaks in it) with its cells' top at y.
// Characters that start beyond the right edge cannot show: the line ends
// there.
void DrawLineOfText(PixelBuffer& buffer, std::u16string_view line, Rect clip, std::int32_t y,
                    std::int32_t height, Colour colour)
{
    std::int32_t x = clip.left;
    for (const char16_t c : line) {
        if (x >= clip.right) return;
        const std::int32_t next = clip.left + Advance(x - clip.left, c, height);
        if (c != u' ' && c != u'\t') Fill(buffer, Intersect(Rect{x + 1, y + 1, next - 1, y + height - 1}, clip), colour);
        x = next;
    }
}

}  // namespace

namespace platform {

DrawContext BeginPaint(WindowHandle window)
{
    return IsLiveWindow(window) ? sim::detail::DrawContextOf(window) : 0;
}

void EndPaint(WindowHandle, DrawContext) {}

void FillSolidRect(DrawContext context, Rect rect, Colour colour)
{
    if (PixelBuffer* buffer = ContextBuffer(context)) Fill(*buffer, rect, colour);
}

void DrawLine(DrawContext context, Point from, Point to, Colour colour)
{
    PixelBuffer* buffer = ContextBuffer(context);
    if (buffer == nullptr) return;
    for (const Point p : shared::LinePixels(from, to))
        if (Colour* pixel = PixelAt(*buffer, p.x, p.y)) *pixel = colour;
}

void DrawTextInRect(DrawContext context, std::u16string_view text, Rect rect, Colour colour, FontHandle font)
{
    PixelBuffer* buffer = ContextBuffer(context);
    if (buffer == nullptr) return;
    const std::int32_t height = FontHeight(font);
    std::size_t start = 0;
    for (std::int32_t y = rect.top; y < rect.bottom; y += height) {
        const std::size_t end = shared::LineEnd(text, start);
        DrawLineOfText(*buffer, text.substr(start, end - start), rect, y, height, colour);
        if (!shared::NextLine(text, end, start)) break;
    }
}

TextSize MeasureText(FontHandle font, std::u16string_view text)
{
    const std::int32_t height = FontHeight(font);
    return TextSize{sim::detail::TextWidth(text, height), height};
}

void DrawScreenFocusRect(Rect r)
{
    PixelBuffer& screen = ScreenBuffer();
    // Every pixel of the border once, every other one set (a dotted line).
    auto flip = [&screen](std::int32_t x, std::int32_t y) {
        if ((x + y) % 2 != 0) return;
        if (Colour* p = PixelAt(screen, x, y)) *p ^= kXorMask;
    };
    if (r.Width() <= 0 || r.Height() <= 0) return;
    for (std::int32_t x = r.left; x < r.right; ++x) {
        flip(x, r.top);
        if (r.bottom - 1 != r.top) flip(x, r.bottom - 1);
    }
    for (std::int32_t y = r.top + 1; y < r.bottom - 1; ++y) {
        flip(r.left, y);
        if (r.right - 1 != r.left) flip(r.right - 1, y);
    }
}

void InvalidateScreen()
{
    for (auto& [handle, window] : TheWorld().windows) InvalidateWindow(handle, true);
}

void SetArrowCursor() { ++TheWorld().arrowCursorSets; }

bool ReadWindowPixel(WindowHandle window, Point client, Colour& colour)
{
    PixelBuffer* buffer = WindowBuffer(window);
    if (buffer == nullptr) return false;
    const Colour* p = PixelAt(*buffer, client.x, client.y);
    if (p == nullptr) return false;
    colour = *p;
    return true;
}

}  // namespace platform

namespace sim {

std::uint32_t WindowPixel(WindowHandle window, int x, int y)
{
    platform::Colour colour = kNoPixel;
    platform::ReadWindowPixel(window, Point{x, y}, colour);
    return colour;
}

std::uint32_t ScreenPixel(int x, int y)
{
    const Colour* p = PixelAt(ScreenBuffer(), x, y);
    return p == nullptr ? kNoPixel : *p;
}

int ArrowCursorSets() { return TheWorld().arrowCursorSets; }

}  // namespace sim
