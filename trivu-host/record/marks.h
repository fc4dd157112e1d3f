// The kinds of mark the pictures show: the conditions the extension raises
// at a wall or when an instance falls asleep, under the extension's own
// numbers, then the stand-in's own for what the controllers did; and what
// each is called. The drawing, the page's data and the page's script all
// read these tables: the build writes each code into page.js where it says
// @NAME@ (cmake/embed_files.cmake), and the page carries the names in a
// block of its own (draw/html.cpp), so the script has no codes or names of
// its own.
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

// What a mark is called: the drawing's shape (its class) and the words its
// legend says, and the page's name for it (in its titles and, for the
// stand-in's own marks, the data-event attribute; the conditions are named
// there by their numbers).
struct Name {
    Kind kind;
    const char* shape;
    const char* legend;
    const char* page;
};
inline constexpr Name NAMES[] = {
    {LEFT_WALL, "left-wall", "left wall", "left wall"},
    {RIGHT_WALL, "right-wall", "right wall", "right wall"},
    {TOP_WALL, "top-wall", "top wall", "top wall"},
    {BOTTOM_WALL, "bottom-wall", "bottom wall", "bottom wall"},
    {ASLEEP, "asleep", "asleep", "asleep"},
    {STOPPED, "stopped", "stop or toggle stop", "stopped"},
    {REVERSED, "reversed", "reversed", "reversed"},
    {REJECTED, "rejected", "rejected", "rejected"},
    {DESTROYED, "destroyed", "destroyed through the extension", "destroyed"},
};

constexpr const Name& nameOf(int kind) {
    for (const Name& n : NAMES)
        if (n.kind == kind) return n;
    return NAMES[0];
}

}  // namespace standin::marks
