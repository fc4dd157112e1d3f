// The motion engine: the pass that HandleRunObject runs once per frame over
// the MotionRegistry, and the steps that every moving kind shares.
//
// The pass walks each container front to back. Events raised from inside it
// (walls, sleep, condition 9) run the game's events at once; while it runs,
// registration and rejection refuse to reshape the containers, and records
// that leave stay in place, dead, until the pass ends (see forEachLive).
#pragma once

#include "objctrl/registry.h"

namespace trivu {

// The whole pass, called by HandleRunObject with inHandler set. Answers true
// when the instance needs no further per-frame calls.
bool runMotionPass(RUNDATA& rd);

// ---- Shared steps ---------------------------------------------------------------

// The sleep cycle, counting frames between its phases. Answers whether the
// record moves this frame; each asleep frame reports condition 15.
bool stepSleep(RUNDATA& rd, const headerObject& object, SleepBlock& sleep);
// The same for an orbit, which counts the degrees it turns between its
// phases, and reports its angle (eventAngle) while asleep.
bool stepOrbitSleep(RUNDATA& rd, OrbitalRecord& r);

// Moves the record along its axis by its speed and applies the wall rules,
// raising the wall conditions. Answers whether a wall was met.
bool crossWall(RUNDATA& rd, WrapFlipRecord& r);

// Puts a position into the host object: X and Y truncated toward zero, the
// changed flag, the redraw request.
void writeBack(RUNDATA& rd, headerObject& object, double x, double y);

// Stores an event's position (and the object's fixed value when it is not 0)
// and raises `condition`.
void reportEvent(RUNDATA& rd, const headerObject& object, int32_t x, int32_t y, int condition);

// ---- Geometry -------------------------------------------------------------------

inline constexpr double kRadiansPerDegree = 3.141592653589793 / 180;

struct Point {
    double x, y;
};

// One frame of a bounded, pausing oscillation of `value` (an amplitude or a
// radius); see GrowAxis.
void growStep(double& value, GrowAxis& g);

// A wave's angle after its step: past a full turn either way it keeps its
// magnitude less 360, with the sign of the step.
double foldWaveAngle(double angle, double omega);
// An orbit's angle after its step, in [0, 360).
double foldOrbitAngle(double angle);
// The start angle of the instance at `loopIndex` of an orbit registration.
double orbitStartAngle(int32_t loopIndex, double setup, double step);
// The angle taken back to the sleep point when a sleep phase is due.
double snapToSleepPoint(double angle, double omega, double rotationLeft);
// Where an orbit puts its object: angle 0 right of the centre, 90 above it.
Point orbitPoint(const OrbitalRecord& r);

// Doubles to host pixels, truncated toward zero; out of range saturates
// (NaN gives 0).
int32_t toPixel(double v);

}  // namespace trivu
