// The pixels of a one-pixel line, shared by the backends so that both set the
// same pixels: Bresenham's walk from the start point, leaving out the end
// point, and the same pixels of a straight line as one rectangle. Internal
// to platform/.
#pragma once

#include <cstdlib>
#include <vector>

#include "platform/types.h"

namespace platform::shared {

inline std::vector<Point> LinePixels(Point from, Point to)
{
    std::vector<Point> pixels;
    const int dx = std::abs(to.x - from.x);
    const int dy = -std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    Point p = from;
    while (p != to) {
        pixels.push_back(p);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.y += sy;
        }
    }
    return pixels;
}

// The pixels of a horizontal or vertical line as one rectangle (right and
// bottom edges excluded; empty when the line has no pixel), exactly those
// LinePixels walks, at no cost however long the line; false for a slanting
// line.
inline bool StraightLineSpan(Point from, Point to, Rect& span)
{
    if (from.x != to.x && from.y != to.y) return false;
    // Along the line: from `from` up to, not including, `to`.
    const auto along = [](int a, int b, int& low, int& high) {
        low = a <= b ? a : b + 1;
        high = a <= b ? b : a + 1;
    };
    if (from == to) {
        span = Rect{from.x, from.y, from.x, from.y};
    } else if (from.y == to.y) {
        along(from.x, to.x, span.left, span.right);
        span.top = from.y;
        span.bottom = from.y + 1;
    } else {
        along(from.y, to.y, span.top, span.bottom);
        span.left = from.x;
        span.right = from.x + 1;
    }
    return true;
}

}  // namespace platform::shared
