// Object-control ACEs: registration, rejection, the event-detect
// expressions and the debug text.
#pragma once

#include "host/rundata.h"
#include "host/services.h"

namespace trivu {

// ---- Registration -------------------------------------------------------------
void registerNullMotion(RUNDATA& rd);       // 20
void registerTimedNullMotion(RUNDATA& rd);  // 34
void registerHorizontalWrap(RUNDATA& rd);   // 27
void registerHorizontalFlip(RUNDATA& rd);   // 37
void registerVerticalWrap(RUNDATA& rd);     // 38
void registerVerticalFlip(RUNDATA& rd);     // 39

// ---- Rejection ------------------------------------------------------------------
void rejectGroup(RUNDATA& rd);               // 21
void rejectAndDestroyGroup(RUNDATA& rd);     // 22
void rejectObject(RUNDATA& rd);              // 25
void rejectAndDestroyObject(RUNDATA& rd);    // 26

// Condition 9: raised when a motion group is removed; true for the events
// that name it (exactly, case included).
bool groupWasRejected(RUNDATA& rd);

// ---- Expressions --------------------------------------------------------------------
intptr_t registeredCount(RUNDATA& rd, ExpressionParams& params);  // 13
intptr_t debugInfo(RUNDATA& rd, ExpressionParams& params);        // 14
intptr_t eventX(RUNDATA& rd, ExpressionParams& params);           // 15
intptr_t eventY(RUNDATA& rd, ExpressionParams& params);           // 16
intptr_t eventFixedValue(RUNDATA& rd, ExpressionParams& params);  // 17
intptr_t eventSleepCount(RUNDATA& rd, ExpressionParams& params);  // 18
intptr_t eventAngle(RUNDATA& rd, ExpressionParams& params);       // 19

}  // namespace trivu
