// The pixels of a one-pixel line, shared by the backends so that both set the
// same pixels: Bresenham's walk from the start point, leaving out the end
// point. Internal to platform/.
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

}  // namespace platform::shared
