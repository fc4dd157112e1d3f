// The catalogue: 54 actions, 16 conditions and 20 expressions, their
// description tables (what the event editor shows and how the host passes
// parameters) and the three jump tables of routines.
//
// ACE n of a kind is entry n of its tables; its menu command id and the
// string resource of its display text follow from n.
#pragma once

#include "sdk/runinfos.h"

namespace trivu {

enum class AceKind { Action, Condition, Expression };

inline constexpr int ACTION_COUNT = 54;
inline constexpr int CONDITION_COUNT = 16;
inline constexpr int EXPRESSION_COUNT = 20;

int aceCount(AceKind kind);
int menuIdBase(AceKind kind);       // 25000, 26000, 27000
int displayTextBase(AceKind kind);  // 5000, 6000, 7000
unsigned menuResource(AceKind kind);  // 20000, 20001, 20002

// The description entry of `code` (a pointer to its code field, as the host
// receives it), or null for a code outside the catalogue.
EventInfos aceInfos(AceKind kind, int code);
// The code whose menu command id is `menuId`, or -1.
int codeFromMenu(AceKind kind, int menuId);

const ActionRoutine* actionRoutines();
const ConditionRoutine* conditionRoutines();
const ExpressionRoutine* expressionRoutines();

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
