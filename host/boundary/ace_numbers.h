// The catalogue's frozen numbers: how many ACEs of each kind there are, where
// their menu commands and display texts are numbered from, and the
// conditions the extension raises itself. Games saved with the extension
// refer to them by number, so none of them ever changes.
//
// They sit below every subsystem, beside RUNDATA: a body that raises a
// condition names it from here, and the catalogue's rows are checked against
// the same names.
#pragma once

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

}  // namespace trivu
