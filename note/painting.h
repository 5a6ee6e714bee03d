// How a note looks: its background, text, resize grip and raised frame, and
// the lightened fill it shows while it flashes.
#pragma once

#include <cstdint>

#include "platform/types.h"

// While set, every note that is painted uses the lightened fill.
extern bool flashing;

// Derived colours, channel by channel on 0x00BBGGRR values.
std::uint32_t LightenColor(std::uint32_t colour);
std::uint32_t ShadeColor(std::uint32_t colour, int k);
std::uint32_t TintColor(std::uint32_t colour);

// wm::EraseBackground: the whole note in its background colour.
void EraseNoteBackground(platform::WindowHandle note, platform::DrawContext context);
// wm::Paint: fill, text, grip and frame.
void PaintNote(platform::WindowHandle note, platform::DrawContext context);

void DrawResizeGrip(platform::DrawContext context, platform::Rect client, std::uint32_t baseColour);
void DrawNoteFrame(platform::DrawContext context, platform::Rect client, std::uint32_t baseColour);

// Invalidates the whole note with erase and paints it at once.
void RepaintNote(platform::WindowHandle note);
