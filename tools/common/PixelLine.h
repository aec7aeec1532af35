#pragma once
// The straight lines of our generated pictures (tools/artgen and
// tools/spikeplot), whatever their canvas and colours.
#include <cstdlib>

namespace pixelline {

// Calls plot(x, y) for every pixel of the line from (x0, y0) to (x1, y1),
// both ends included (Bresenham).
template <typename PlotFn>
void line(int x0, int y0, int x1, int y1, PlotFn plot) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
        plot(x0, y0);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

}  // namespace pixelline
