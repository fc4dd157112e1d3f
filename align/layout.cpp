#include "align/layout.h"

namespace trivu {
namespace {

// Two's-complement arithmetic on 32 bits, defined for every input.
constexpr int32_t wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }
constexpr int32_t plus(int32_t a, int32_t b) { return wrap(int64_t{a} + b); }
constexpr int32_t times(int32_t a, int64_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace

std::optional<GridLayout> gridLayout(const std::vector<int32_t>& v) {
    if (v.size() != 6) return std::nullopt;
    return GridLayout{v[0], v[1], v[2], v[3], v[4], v[5] == 1};
}

std::optional<LineLayout> lineLayout(const std::vector<int32_t>& v) {
    if (v.size() != 4) return std::nullopt;
    return LineLayout{v[0], v[1], v[2], v[3] == 1};
}

Spot gridSpot(const GridLayout& grid, int32_t k, int32_t width, int32_t height) {
    // 64 bits, so that no index and column count divide out of range.
    int64_t column = int64_t{k} % grid.columns;
    int64_t row = int64_t{k} / grid.columns;
    return {plus(grid.x, times(plus(width, grid.gapX), column)), plus(grid.y, times(plus(height, grid.gapY), row))};
}

int32_t shifted(int32_t start, int32_t offset) { return plus(start, offset); }

int32_t advanced(int32_t offset, int32_t size, int32_t gap, bool forward) {
    int32_t step = plus(size, gap);
    return forward ? plus(offset, step) : wrap(int64_t{offset} - step);
}

}  // namespace trivu
