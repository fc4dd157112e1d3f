// The kinds of mark the pictures show: the conditions the extension raises
// at a wall or when an instance falls asleep, under the extension's own
// numbers, then the stand-in's own for what the controllers did. The
// drawing, the page's data and the page's script all read this table: the
// build writes each value into page.js where it says @NAME@
// (cmake/embed_files.cmake), so the script has no numbers of its own.
#pragma once

#include <cstdint>

#include "host/boundary/ace_numbers.h"

namespace standin::marks {

enum Kind : int {
    LEFT_WALL = trivu::CND_WALL_LEFT,
    RIGHT_WALL = trivu::CND_WALL_RIGHT,
    TOP_WALL = trivu::CND_WALL_TOP,
    BOTTOM_WALL = trivu::CND_WALL_BOTTOM,
    ASLEEP = trivu::CND_SLEEPING,
    STOPPED = 100,
    REVERSED = 101,
    REJECTED = 102,
    DESTROYED = 103,
};

// A wall reaches this far past its group's extent.
inline constexpr int32_t WALL_OVERHANG = 12;

// The events a motion raises, which the pictures mark where they happened.
constexpr bool isMotionEvent(int condition) { return condition >= LEFT_WALL && condition <= ASLEEP; }

}  // namespace standin::marks
