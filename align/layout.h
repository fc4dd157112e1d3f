// Where the alignment actions put each instance: plain arithmetic on the
// values the parser left, kept apart from the host so it can be checked alone.
//
// Positions wrap around at 32 bits instead of overflowing: a designer's
// extreme offsets give a wrong place, never undefined behaviour.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace trivu {

struct Spot {
    int32_t x;
    int32_t y;
    bool operator==(const Spot&) const = default;
};

// "X, Y, columns, gap X, gap Y, flag".
struct GridLayout {
    int32_t x, y, columns, gapX, gapY;
    bool forceFrame;
};

// "X, Y, gap, flag" of the rows and columns.
struct LineLayout {
    int32_t x, y, gap;
    bool forceFrame;
};

// The values as the parser left them; nothing when there are not as many as
// the format has.
std::optional<GridLayout> gridLayout(const std::vector<int32_t>& values);
std::optional<LineLayout> lineLayout(const std::vector<int32_t>& values);

// Instance k of a grid filled left to right, then top to bottom, each
// instance spaced by its own size (columns must not be 0).
Spot gridSpot(const GridLayout& grid, int32_t k, int32_t width, int32_t height);

// A line's start shifted by the running offset.
int32_t shifted(int32_t start, int32_t offset);

// The running offset after an instance of `size` pixels: forward (right or
// down) it grows by size + gap, backward it shrinks by as much.
int32_t advanced(int32_t offset, int32_t size, int32_t gap, bool forward);

}  // namespace trivu
