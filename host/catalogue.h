// The catalogue: 54 actions, 16 conditions and 20 expressions, their
// description tables (what the event editor shows and how the host passes
// parameters) and the three jump tables of routines.
//
// ACE n of a kind is entry n of its tables; its menu command id and the
// string resource of its display text follow from n (host/boundary/ace_numbers.h).
#pragma once

#include "host/boundary/ace_numbers.h"
#include "sdk/runinfos.h"

namespace trivu {

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

}  // namespace trivu
