// Object-control ACEs: registration, rejection, the event-detect
// expressions and the debug text.
#pragma once

#include "host/boundary/rundata.h"
#include "host/boundary/services.h"

namespace trivu {

// ---- Registration -------------------------------------------------------------
void registerNullMotion(RUNDATA& rd);       // 20
void registerTimedNullMotion(RUNDATA& rd);  // 34
void registerHorizontalWrap(RUNDATA& rd);   // 27
void registerHorizontalFlip(RUNDATA& rd);   // 37
void registerVerticalWrap(RUNDATA& rd);     // 38
void registerVerticalFlip(RUNDATA& rd);     // 39
void registerHorizontalWrapWave(RUNDATA& rd);  // 40
void registerHorizontalFlipWave(RUNDATA& rd);  // 41
void registerVerticalWrapWave(RUNDATA& rd);    // 42
void registerVerticalFlipWave(RUNDATA& rd);    // 43
void registerOrbitOwn(RUNDATA& rd);            // 44
void registerOrbitTarget(RUNDATA& rd);         // 45

// ---- Rejection ------------------------------------------------------------------
void rejectGroup(RUNDATA& rd);               // 21
void rejectAndDestroyGroup(RUNDATA& rd);     // 22
void rejectObject(RUNDATA& rd);              // 25
void rejectAndDestroyObject(RUNDATA& rd);    // 26

// ---- Controllers (objctrl/controllers.cpp) ------------------------------------
void toggleStopByName(RUNDATA& rd);    // 28
void stopByName(RUNDATA& rd);          // 29
void toggleStopDirect(RUNDATA& rd);    // 30
void sleepByName(RUNDATA& rd);         // 35
void sleepDirect(RUNDATA& rd);         // 36
void growOrbitRadius(RUNDATA& rd);     // 47
void growWaveAmplitude(RUNDATA& rd);   // 48
void changeCentre(RUNDATA& rd);        // 49
void reverseByName(RUNDATA& rd);       // 50
void reverseDirect(RUNDATA& rd);       // 51

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
