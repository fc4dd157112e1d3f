// The catalogue's frozen numbers: how many ACEs of each kind there are, where
// their menu commands and display texts are numbered from, and the
// conditions the extension raises itself. Games saved with the extension
// refer to them by number, so none of them ever changes.
//
// They sit below every subsystem, beside RUNDATA: a body that raises a
// condition names it from here, and the catalogue's rows are checked against
// the same names.
#pragma once

#include <cstdint>

namespace trivu {

enum class AceKind { Action, Condition, Expression };

inline constexpr int ACTION_COUNT = 54;
inline constexpr int CONDITION_COUNT = 16;
inline constexpr int EXPRESSION_COUNT = 20;

// ACE n of a kind has the menu command base + n and the display string
// base + n; its kind's menu is one resource of the three.
inline constexpr int MENU_ID_BASE[] = {25000, 26000, 27000};
inline constexpr int DISPLAY_TEXT_BASE[] = {5000, 6000, 7000};
inline constexpr unsigned MENU_RESOURCE[] = {20000, 20001, 20002};

// Conditions the extension raises itself.
enum : int {
    CND_REGEX_ERROR = 0,
    CND_REGEX_MISMATCH = 2,
    CND_JSON_POINTER_ERROR = 3,
    CND_TARGET_IS_ARRAY = 4,
    CND_TARGET_IS_TRUE = 7,
    CND_TARGET_IS_FALSE = 8,
    CND_GROUP_REJECTED = 9,
    CND_WALL_LEFT = 11,
    CND_WALL_RIGHT = 12,
    CND_WALL_TOP = 13,
    CND_WALL_BOTTOM = 14,
    CND_SLEEPING = 15,
};

// Actions a loading program follows to draw a run (the stand-in host's
// pictures): the motion registrations and the controllers it marks.
enum : int {
    ACT_NULL_MOTION = 20,
    ACT_REJECT_NAMED = 21,
    ACT_REJECT_DESTROY_NAMED = 22,
    ACT_REJECT_DIRECT = 25,
    ACT_REJECT_DESTROY_DIRECT = 26,
    ACT_HORIZONTAL_WRAP = 27,
    ACT_TOGGLE_STOP_NAMED = 28,
    ACT_STOP_NAMED = 29,
    ACT_TOGGLE_STOP_DIRECT = 30,
    ACT_TIMED_NULL_MOTION = 34,
    ACT_HORIZONTAL_FLIP = 37,
    ACT_VERTICAL_WRAP = 38,
    ACT_VERTICAL_FLIP = 39,
    ACT_HORIZONTAL_WRAP_WAVE = 40,
    ACT_HORIZONTAL_FLIP_WAVE = 41,
    ACT_VERTICAL_WRAP_WAVE = 42,
    ACT_VERTICAL_FLIP_WAVE = 43,
    ACT_ORBIT_OWN = 44,
    ACT_ORBIT_TARGET = 45,
    ACT_CHANGE_CENTRE = 49,
    ACT_REVERSE_NAMED = 50,
    ACT_REVERSE_DIRECT = 51,
};

// The kind index of a motion record, which a registration that took leaves in
// the instance's alterable value B (A holds its loop index).
enum KindIndex : uint8_t { INDEX_NULL = 0, INDEX_WRAPFLIP, INDEX_SINEWAVE, INDEX_ORBITAL, INDEX_MOVETOWARD };

// What each motion registration makes: the kind of its records (the kind
// index that a registration which took leaves in alterable value B) and,
// for a line or a wave, whether it moves along x, between walls x = ...,
// or along y.
struct MotionRegistration {
    int action;
    KindIndex kind;
    bool horizontal;
};
inline constexpr MotionRegistration MOTION_REGISTRATIONS[] = {
    {ACT_NULL_MOTION, INDEX_NULL, false},
    {ACT_TIMED_NULL_MOTION, INDEX_NULL, false},
    {ACT_HORIZONTAL_WRAP, INDEX_WRAPFLIP, true},
    {ACT_HORIZONTAL_FLIP, INDEX_WRAPFLIP, true},
    {ACT_VERTICAL_WRAP, INDEX_WRAPFLIP, false},
    {ACT_VERTICAL_FLIP, INDEX_WRAPFLIP, false},
    {ACT_HORIZONTAL_WRAP_WAVE, INDEX_SINEWAVE, true},
    {ACT_HORIZONTAL_FLIP_WAVE, INDEX_SINEWAVE, true},
    {ACT_VERTICAL_WRAP_WAVE, INDEX_SINEWAVE, false},
    {ACT_VERTICAL_FLIP_WAVE, INDEX_SINEWAVE, false},
    {ACT_ORBIT_OWN, INDEX_ORBITAL, false},
    {ACT_ORBIT_TARGET, INDEX_ORBITAL, false},
};

// The action's row of MOTION_REGISTRATIONS, or null for one that registers nothing.
constexpr const MotionRegistration* motionRegistration(int action) {
    for (const MotionRegistration& r : MOTION_REGISTRATIONS)
        if (r.action == action) return &r;
    return nullptr;
}

// Expressions that answer where the last event the extension raised happened.
enum : int {
    EXP_EVENT_X = 15,
    EXP_EVENT_Y = 16,
};

}  // namespace trivu
