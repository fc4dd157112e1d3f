#include "objctrl/aces.h"

#include <algorithm>
#include <cmath>

#include "common/notifier.h"
#include "common/params.h"
#include "objctrl/debug_text.h"
#include "objctrl/engine.h"
#include "objctrl/registry.h"

namespace trivu {
namespace {

// ---- Registration -------------------------------------------------------------

void registerNull(RUNDATA& rd, bool timed) {
    headerObject* object = usableSprite(rd, objectParam(rd));
    if (object == nullptr) return;
    const std::u16string name = textParam(rd);
    const int32_t frames = timed ? intParam(rd) : 0;
    if (registerObject(rd, *object, chooseGroupName(*object, name), frames) && frames > 0) wakeMotionPass(rd);
}

// The parameters of a moving registration, parsed for the first selected
// instance and reused by the later ones (floatParams then holds the values
// with the subKind appended). Answers false when this instance registers
// nothing.
bool movingParams(RUNDATA& rd, const headerObject& object, const ParamFormat& format, size_t values, int subKind) {
    if (actionLoopIndex(rd) != 0) return rd.floatParams.size() == values + 1 && rd.floatParams.back() == subKind;
    MotionRegistry& reg = registry();
    reg.currentGroupName = chooseGroupName(object, textParam(rd));
    const std::u16string text = textParam(rd);
    if (!MatchParams(rd, text, format)) {
        rd.floatParams.clear();
        return false;
    }
    if (rd.floatParams.size() != values) {
        // A value left empty would shift the subKind into its place.
        notify(rd, format.refusal);
        rd.floatParams.clear();
        return false;
    }
    rd.floatParams.resize(values + 1, static_cast<float>(subKind));
    return true;
}

// A first selected instance that registers nothing before its text is read
// leaves no values behind: the later instances of the action then register
// nothing either (as an alignment places none), rather than with the values
// an earlier action left.
void skipLaterInstances(RUNDATA& rd) {
    if (actionLoopIndex(rd) == 0) rd.floatParams.clear();
}

// The object of a moving registration: none while the registry is walked
// (after the refusal box) or when it is not a usable sprite.
headerObject* movingObject(RUNDATA& rd) {
    if (refusedWhileWalking(rd)) return nullptr;
    headerObject* object = usableSprite(rd, objectParam(rd));
    if (object == nullptr) skipLaterInstances(rd);
    return object;
}

// The fields a wave shares with a wrap/flip line, from the object's place.
void setLine(WrapFlipRecord& r, const headerObject& object, int subKind, float speed, float stop, float wallA,
             float wallB) {
    r.wrap = subKind == SUB_HORIZONTAL_WRAP || subKind == SUB_VERTICAL_WRAP;
    r.horizontal = subKind == SUB_HORIZONTAL_WRAP || subKind == SUB_HORIZONTAL_FLIP;
    (r.horizontal ? r.velocityX : r.velocityY) = speed;
    r.sleep.stopped = stop != 0;
    r.wallA = toPixel(wallA);
    r.wallB = toPixel(wallB);
    r.x = object.hoX;
    r.y = object.hoY;
}

void registerWrapFlip(RUNDATA& rd, int subKind) {
    headerObject* object = movingObject(rd);
    if (object == nullptr || !movingParams(rd, *object, formats::wrapFlip, wrapFlipValue::COUNT, subKind)) return;
    const std::vector<float>& p = rd.floatParams;
    WrapFlipRecord r;
    using namespace wrapFlipValue;
    setLine(r, *object, subKind, p[VELOCITY], p[STOP], p[FIRST_WALL], p[SECOND_WALL]);
    if (registerObject(rd, *object, registry().currentGroupName, r)) wakeMotionPass(rd);
}

// The object's place on its wave at registration; the record keeps its own.
void placeOnWave(RUNDATA& rd, const SineWaveRecord& r) {
    const double wave = r.baseLine + r.amplitude * std::sin(r.angle * kRadiansPerDegree);
    writeBack(rd, *r.object, r.horizontal ? r.x : wave, r.horizontal ? wave : r.y);
}

void registerSineWave(RUNDATA& rd, int subKind) {
    headerObject* object = movingObject(rd);
    if (object == nullptr || !movingParams(rd, *object, formats::sineWave, sineWaveValue::COUNT, subKind)) return;
    const std::vector<float>& p = rd.floatParams;
    SineWaveRecord r;
    using namespace sineWaveValue;
    setLine(r, *object, subKind, p[VELOCITY], p[STOP], p[FIRST_WALL], p[SECOND_WALL]);
    r.amplitude = p[AMPLITUDE];
    r.omega = p[OMEGA];
    // Staggered in single precision, as the values arrived.
    r.angle = static_cast<float>(actionLoopIndex(rd)) * p[STEP_ANGLE] + p[START_ANGLE];
    r.baseLine = r.horizontal ? r.y : r.x;
    if (!registerObject(rd, *object, registry().currentGroupName, r)) return;
    r.object = object;
    placeOnWave(rd, r);
    wakeMotionPass(rd);
}

// Action 45's centre object, fetched for every instance (null for action
// 44's own centre); answers false when it is unusable (null quietly,
// otherwise with the forced box).
bool fetchCentre(RUNDATA& rd, int subKind, headerObject*& centre) {
    centre = nullptr;
    if (subKind != SUB_ORBIT_TARGET) return true;
    centre = usableSprite(rd, objectParam(rd));
    return centre != nullptr;
}

void registerOrbital(RUNDATA& rd, int subKind) {
    headerObject* object = movingObject(rd);
    headerObject* centre = nullptr;
    if (object == nullptr) return;
    if (!fetchCentre(rd, subKind, centre)) {
        skipLaterInstances(rd);
        return;
    }
    if (!movingParams(rd, *object, formats::orbital, orbitalValue::COUNT, subKind)) return;
    const std::vector<float>& p = rd.floatParams;
    OrbitalRecord r;
    using namespace orbitalValue;
    r.radiusX = p[RADIUS_X];
    r.radiusY = p[RADIUS_Y];
    r.omega = p[OMEGA];
    r.sleep.stopped = p[STOP] != 0;
    r.offsetX = p[OFFSET_X];
    r.offsetY = p[OFFSET_Y];
    r.sleep.repetitions = toPixel(p[REPETITIONS]);
    r.sleep.asleep = p[SLEEPS] != 0 && r.sleep.repetitions != 0;
    r.sleep.sleepLength = r.sleep.sleepLeft = toPixel(std::fabs(p[SLEEP_TIME]));
    r.rotationPerSleep = r.rotationLeft = std::fabs(p[ROTATION]) - 1;
    r.centreMode = static_cast<uint8_t>(subKind);
    r.centreObject = subKind == SUB_ORBIT_TARGET ? centre : object;
    r.centreX = r.centreObject->hoX + r.offsetX;
    r.centreY = r.centreObject->hoY + r.offsetY;
    r.angle = orbitStartAngle(actionLoopIndex(rd), p[START_ANGLE], p[STEP_ANGLE]);
    if (!registerObject(rd, *object, registry().currentGroupName, r)) return;
    const Point at = orbitPoint(r);
    writeBack(rd, *object, at.x, at.y);
    wakeMotionPass(rd);
}

// ---- Rejection ------------------------------------------------------------------

void rejectNamed(RUNDATA& rd, bool destroy) {
    if (refusedWhileWalking(rd)) return;
    const std::u16string name = textParam(rd);
    const int32_t frames = std::max(intParam(rd, PARAM_REQUEST_AS_IS), 0);
    const bool wake = name.empty() ? rejectAll(rd, frames, destroy) : rejectByName(rd, name, frames, destroy);
    if (wake) wakeMotionPass(rd);
}

void rejectOne(RUNDATA& rd, bool destroy) {
    if (refusedWhileWalking(rd)) return;
    headerObject* object = usableSprite(rd, objectParam(rd));
    if (object == nullptr) return;
    const int32_t frames = intParam(rd);
    if (rejectDirect(rd, *object, frames, destroy)) wakeMotionPass(rd);
}

}  // namespace

void registerNullMotion(RUNDATA& rd) { registerNull(rd, false); }
void registerTimedNullMotion(RUNDATA& rd) { registerNull(rd, true); }
void registerHorizontalWrap(RUNDATA& rd) { registerWrapFlip(rd, SUB_HORIZONTAL_WRAP); }
void registerHorizontalFlip(RUNDATA& rd) { registerWrapFlip(rd, SUB_HORIZONTAL_FLIP); }
void registerVerticalWrap(RUNDATA& rd) { registerWrapFlip(rd, SUB_VERTICAL_WRAP); }
void registerVerticalFlip(RUNDATA& rd) { registerWrapFlip(rd, SUB_VERTICAL_FLIP); }
void registerHorizontalWrapWave(RUNDATA& rd) { registerSineWave(rd, SUB_HORIZONTAL_WRAP); }
void registerHorizontalFlipWave(RUNDATA& rd) { registerSineWave(rd, SUB_HORIZONTAL_FLIP); }
void registerVerticalWrapWave(RUNDATA& rd) { registerSineWave(rd, SUB_VERTICAL_WRAP); }
void registerVerticalFlipWave(RUNDATA& rd) { registerSineWave(rd, SUB_VERTICAL_FLIP); }
void registerOrbitOwn(RUNDATA& rd) { registerOrbital(rd, SUB_ORBIT_OWN); }
void registerOrbitTarget(RUNDATA& rd) { registerOrbital(rd, SUB_ORBIT_TARGET); }

void rejectGroup(RUNDATA& rd) { rejectNamed(rd, false); }
void rejectAndDestroyGroup(RUNDATA& rd) { rejectNamed(rd, true); }
void rejectObject(RUNDATA& rd) { rejectOne(rd, false); }
void rejectAndDestroyObject(RUNDATA& rd) { rejectOne(rd, true); }

bool groupWasRejected(RUNDATA& rd) { return textParam(rd) == registry().lastRejectedGroup; }

// ---- Expressions --------------------------------------------------------------------

intptr_t registeredCount(RUNDATA&, ExpressionParams& params) { return intResult(countRegistered(params.number())); }

intptr_t debugInfo(RUNDATA& rd, ExpressionParams& params) {
    return textResult(rd, buildDebugText(params.text()).c_str());
}

intptr_t eventX(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventX); }
intptr_t eventY(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventY); }
intptr_t eventFixedValue(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventFixedValue); }
intptr_t eventSleepCount(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventSleepCount); }

namespace {

// An orbit's angle may lie outside a turn at its rest (the snap to the rest
// point is not folded again, and a start angle may be 360); expression 19
// promises 0 to 359 and the host's 32 directions, so it answers the angle
// within [0, 360). A tiny negative remainder plus 360 rounds to a full turn,
// which is 0; -0 is 0.
double withinATurn(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360;
    if (a >= 360) a = 0;
    return a + 0.0;
}

}  // namespace

intptr_t eventAngle(RUNDATA& rd, ExpressionParams& params) {
    const double angle = withinATurn(rd.eventAngle);
    const double degrees = params.number() == 0 ? std::floor(angle) : directionIndex(angle);
    return intResult(toPixel(degrees));
}

}  // namespace trivu
