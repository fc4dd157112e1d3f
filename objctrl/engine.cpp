// Index
//   1. Shared steps     write-back, event report, reject timer, sleep, walls
//      Geometry         the grow step, angle folds, orbit start and snap
//   2. Per-kind passes  Null timers, WrapFlip, SineWave, Orbital
//   3. The dispatcher
#include "objctrl/engine.h"

#include <cmath>
#include <type_traits>

#include "host/boundary/ace_numbers.h"
#include "host/boundary/services.h"

namespace trivu {

// ---- 1. Shared steps ---------------------------------------------------------------

int32_t toPixel(double v) {
    // Inside the range the conversion truncates toward zero by itself;
    // outside it would be undefined, so it saturates (NaN gives 0).
    if (v > -2147483649.0 && v < 2147483648.0) [[likely]]
        return static_cast<int32_t>(v);
    return v > 0 ? INT32_MAX : v < 0 ? INT32_MIN : 0;
}

namespace {

inline void place(const Redrawer& redraw, headerObject& object, double x, double y) {
    moveObject(redraw, object, toPixel(x), toPixel(y));
}

}  // namespace

void writeBack(RUNDATA& rd, headerObject& object, double x, double y) { place(Redrawer(rd), object, x, y); }

void reportEvent(RUNDATA& rd, const headerObject& object, int32_t x, int32_t y, int condition) {
    rd.eventX = x;
    rd.eventY = y;
    if (int32_t fixed = fixedValueOf(object); fixed != 0) rd.eventFixedValue = fixed;
    generateEvent(rd, condition);
}

namespace {

// Counts a running reject timer down, or takes the record out when it has
// run out: group accounting (condition 9 still sees the record), the
// object's destruction when asked, then the record leaves.
template <typename Container>
void stepRejectTimer(RUNDATA& rd, Container& records, MotionRecord& r) {
    if (r.rejectCountdown != 0) {
        --r.rejectCountdown;
        return;
    }
    removeFromGroup(rd, r.groupId, r.kindIndex);
    if (r.destroyOnReject) destroyObject(rd, *r.object);
    leave(records, r);
}

// One frame of a sleep phase: condition 15 with the frames still to sleep,
// then one fewer. Answers false: the record does not move.
bool sleepFrame(RUNDATA& rd, const headerObject& object, int32_t& sleepLeft) {
    rd.eventSleepCount = sleepLeft;
    reportEvent(rd, object, object.hoX, object.hoY, CND_SLEEPING);
    --sleepLeft;
    return false;
}

// What passes between two sleep phases of a line or a wave: frames.
struct FramesBetween {
    SleepBlock& s;
    bool moveOn() {
        if (s.intervalLeft == 0) return false;
        --s.intervalLeft;
        return true;
    }
    void restart() { s.intervalLeft = s.intervalLength; }
    void asleep(RUNDATA&) {}
};

// For an orbit: the degrees it turns. Its asleep frames also report its angle.
struct DegreesBetween {
    OrbitalRecord& r;
    bool moveOn() {
        if (r.rotationLeft <= 0) return false;
        r.rotationLeft -= std::fabs(r.omega);
        return true;
    }
    void restart() { r.rotationLeft = r.rotationPerSleep; }
    void asleep(RUNDATA& rd) { rd.eventAngle = r.angle; }
};

// The sleep cycle of every moving kind. Answers whether the record moves
// this frame; each asleep frame reports condition 15, and the frame that
// ends a phase moves.
template <typename Between>
bool sleepCycle(RUNDATA& rd, const headerObject& object, SleepBlock& s, Between between) {
    if (s.repetitions == 0) {
        s.asleep = false;
        return true;
    }
    if (!s.asleep) {
        if (between.moveOn()) return true;
        s.asleep = true;
        s.sleepLeft = s.sleepLength;
    }
    between.asleep(rd);
    if (s.sleepLeft != 0) return sleepFrame(rd, object, s.sleepLeft);
    s.asleep = false;
    between.restart();
    if (s.repetitions > 0) --s.repetitions;
    return true;
}

}  // namespace

bool stepSleep(RUNDATA& rd, const headerObject& object, SleepBlock& s) {
    return sleepCycle(rd, object, s, FramesBetween{s});
}

bool stepOrbitSleep(RUNDATA& rd, OrbitalRecord& r) { return sleepCycle(rd, *r.object, r.sleep, DegreesBetween{r}); }

namespace {

struct Walls {
    int first, second;  // their conditions
};

// Reports a wall event at the position `p` on the moving axis.
void wallEvent(RUNDATA& rd, const WrapFlipRecord& r, double p, int condition) {
    if (r.horizontal)
        reportEvent(rd, *r.object, toPixel(p), toPixel(r.y), condition);
    else
        reportEvent(rd, *r.object, toPixel(r.x), toPixel(p), condition);
}

// Where a wrap that left its walls at `n` comes back in. Past either wall
// the overshoot carries on from the other one. A speed above the walls'
// distance would carry it past the far wall too, and further at every
// frame, never to return: then the overshoot is taken modulo the distance.
// An object that starts outside its walls at a lower speed, and walls in
// the wrong order, keep the plain carry-over. The distance is a double: two
// 32-bit walls can lie further apart than an int holds.
double wrapPosition(const WrapFlipRecord& r, bool forward, double v, double n) {
    const double a = r.wallA, b = r.wallB;
    const double p = forward ? (n - b) + a : b - (a - n);
    const double distance = b - a;
    if (distance <= 0 || std::fabs(v) <= distance) return p;
    if (forward) return p > b ? a + std::fmod(n - b, distance) : p;
    return p < a ? b - std::fmod(a - n, distance) : p;
}

// Past a wall: the events, then wrap or flip. Kept out of line, so that the
// common move inside the walls stays small.
[[gnu::noinline]] void meetWall(RUNDATA& rd, WrapFlipRecord& r, double& p, double& v, double n) {
    const Walls walls = r.horizontal ? Walls{CND_WALL_LEFT, CND_WALL_RIGHT} : Walls{CND_WALL_TOP, CND_WALL_BOTTOM};
    const bool forward = v >= 0;
    const int met = forward ? walls.second : walls.first;
    const int other = forward ? walls.first : walls.second;
    if (r.wrap) {
        wallEvent(rd, r, p, met);
        p = wrapPosition(r, forward, v, n);
        wallEvent(rd, r, p, other);
        return;
    }
    v = -v;
    // A horizontal flip reports where the object would stand one step back.
    wallEvent(rd, r, r.horizontal ? p + v : p, met);
}

}  // namespace

bool crossWall(RUNDATA& rd, WrapFlipRecord& r) {
    double& p = r.horizontal ? r.x : r.y;
    double& v = r.horizontal ? r.velocityX : r.velocityY;
    const double n = p + v;
    if (v >= 0 ? n <= r.wallB : n >= r.wallA) {
        p = n;
        return false;
    }
    meetWall(rd, r, p, v, n);
    return true;
}

// ---- Geometry ------------------------------------------------------------------------

void growStep(double& value, GrowAxis& g) {
    if (g.pausing) {
        if (g.pauseLeft == 0) {
            g.pauseLeft = g.pauseLength;
            g.pausing = false;
        } else {
            --g.pauseLeft;
        }
        return;
    }
    const bool growing = g.delta > 0;
    if (growing ? g.max > value : value > g.min) {
        value += g.delta;
        return;
    }
    // The bound is tested before the step, so the value may pass it by up
    // to one step for one frame before it is set back.
    value = growing ? g.max : g.min;
    g.delta = -g.delta;
    g.pausing = true;
    if (g.repetitions > 0)
        --g.repetitions;
    else if (g.repetitions == 0)
        g.pausing = false;
}

double foldWaveAngle(double angle, double omega) {
    if (std::fabs(angle) <= 360) return angle;
    const double folded = std::fabs(angle) - 360;
    return omega <= 0 ? -folded : folded;
}

double foldOrbitAngle(double angle) {
    if (angle < 0) angle += 360;
    if (std::fabs(angle) >= 360) angle = std::fmod(angle, 360.0);
    return angle;
}

double orbitStartAngle(int32_t loopIndex, double setup, double step) {
    double a = loopIndex * step + setup;
    if (std::fabs(a) > 360) a += a >= 0 ? -360 : 360;
    if (a < 0)
        a += 360;
    else if (a == 0 && step < 0)
        a = 360;
    return a;
}

double snapToSleepPoint(double angle, double omega, double rotationLeft) {
    const double speed = std::fabs(omega);
    if (speed >= 1) {
        const double c = std::fabs(rotationLeft) + (speed - 1);
        return omega > 0 ? angle - c : angle + c;
    }
    return omega >= 0 ? std::ceil(angle - rotationLeft) : std::floor(angle - rotationLeft);
}

Point orbitPoint(const OrbitalRecord& r) {
    const double a = (270 - r.angle) * kRadiansPerDegree;
    return {r.centreX - r.radiusX * std::sin(a), r.centreY + r.radiusY * std::cos(a)};
}

// ---- 2. Per-kind passes --------------------------------------------------------------

namespace {

inline bool destroyedByGame(const MotionRecord& r) { return (r.object->hoFlags & HOF_DESTROYED) != 0; }

// A record whose timer has just run out moves no more.
bool expiring(const MotionRecord& r) { return r.rejectArmed && r.rejectCountdown == 0; }

// Walks one kind: a record whose object the game destroyed leaves, with the
// usual group accounting, and is never written to again; `step` moves the
// others, then their reject timers count. The events raised on the way
// cannot reshape the container (registration and rejection refuse while it
// is walked, a Null registration only appends); records that leave stay in
// place, dead, until the pass has ended.
template <typename Container, typename Step>
void walk(RUNDATA& rd, Container& records, Step step) {
    forEachLive(records, [&](auto& r) {
        if (destroyedByGame(r)) {
            removeFromGroup(rd, r.groupId, r.kindIndex);
            leave(records, r);
            return;
        }
        step(r);
        if (r.rejectArmed) stepRejectTimer(rd, records, r);
    });
}

// Null records only wait: most frames touch nothing but their flags.
void advanceNullTimers(RUNDATA& rd) {
    walk(rd, registry().nulls, [](MotionRecord&) {});
}

// Whether a record moves this frame: not stopped, not expiring, awake. A
// record without sleep phases, the common case, is decided here.
template <typename Record>
inline bool moves(RUNDATA& rd, Record& r) {
    SleepBlock& sleep = r.sleep;
    if (sleep.stopped || expiring(r)) return false;
    if (sleep.repetitions == 0) {
        if (sleep.asleep) sleep.asleep = false;
        return true;
    }
    if constexpr (std::is_same_v<Record, OrbitalRecord>)
        return stepOrbitSleep(rd, r);
    else
        return stepSleep(rd, *r.object, sleep);
}

void updateWrapFlip(RUNDATA& rd) {
    const Redrawer redraw(rd);
    walk(rd, registry().wrapFlips, [&](WrapFlipRecord& r) {
        if (!moves(rd, r)) return;
        crossWall(rd, r);
        place(redraw, *r.object, r.x, r.y);
    });
}

void updateSineWave(RUNDATA& rd) {
    const Redrawer redraw(rd);
    walk(rd, registry().sineWaves, [&](SineWaveRecord& r) {
        if (!moves(rd, r)) return;
        if (r.growActive) {
            growStep(r.amplitude, r.grow);
            if (r.grow.repetitions == 0) r.growActive = false;
        }
        const double wave = r.baseLine + r.amplitude * std::sin(r.angle * kRadiansPerDegree);
        // In a frame that meets a wall, the swing across the axis waits.
        if (!crossWall(rd, r)) (r.horizontal ? r.y : r.x) = wave;
        r.angle = foldWaveAngle(r.angle + r.omega, r.omega);
        place(redraw, *r.object, r.x, r.y);
    });
}

// A centre object that the game destroyed freezes the centre where it was.
void followCentre(OrbitalRecord& r) {
    if (r.centreMode != SUB_ORBIT_TARGET) return;
    if (r.centreObject == nullptr || (r.centreObject->hoFlags & HOF_DESTROYED) != 0) {
        r.centreObject = nullptr;
        r.centreMode = SUB_ORBIT_OWN;
        return;
    }
    r.centreX = r.centreObject->hoX + r.offsetX;
    r.centreY = r.centreObject->hoY + r.offsetY;
}

void updateOrbital(RUNDATA& rd) {
    const Redrawer redraw(rd);
    walk(rd, registry().orbitals, [&](OrbitalRecord& r) {
        if (!moves(rd, r)) return;
        if (r.growActive) {
            growStep(r.radiusX, r.growX);
            growStep(r.radiusY, r.growY);
            if (r.growX.repetitions == 0 && r.growY.repetitions == 0) r.growActive = false;
        }
        followCentre(r);
        r.angle = foldOrbitAngle(r.angle + r.omega);
        if (r.sleep.repetitions != 0 && r.rotationLeft <= 0) r.angle = snapToSleepPoint(r.angle, r.omega, r.rotationLeft);
        const Point p = orbitPoint(r);
        place(redraw, *r.object, p.x, p.y);
    });
}

}  // namespace

// ---- 3. The dispatcher ------------------------------------------------------------------

bool runMotionPass(RUNDATA& rd) {
    MotionRegistry& reg = registry();
    {
        WalkGuard walking;
        if (!reg.groups.empty()) {
            if (countRegistered(KIND_NULL) != 0) advanceNullTimers(rd);
            if (countRegistered(KIND_WRAPFLIP) != 0) updateWrapFlip(rd);
            if (countRegistered(KIND_SINEWAVE) != 0) updateSineWave(rd);
            if (countRegistered(KIND_ORBITAL) != 0) updateOrbital(rd);
        }
    }
    rd.inHandler = false;
    if (reg.groups.empty()) rd.handleEnabled = false;
    return !rd.handleEnabled;
}

}  // namespace trivu
