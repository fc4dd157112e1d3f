// Index
//   1. Shared steps     write-back, event report, reject timer, sleep, walls
//   2. Per-kind passes  Null timers, WrapFlip
//   3. The dispatcher
#include "objctrl/engine.h"

#include <cmath>

#include "host/catalogue.h"
#include "host/services.h"

namespace trivu {

// ---- 1. Shared steps ---------------------------------------------------------------

int32_t toPixel(double v) {
    if (!(v > -2147483649.0)) return v < 0 ? INT32_MIN : 0;  // NaN gives 0
    if (v >= 2147483648.0) return INT32_MAX;
    return static_cast<int32_t>(v);
}

void writeBack(RUNDATA& rd, headerObject& object, double x, double y) {
    object.hoX = toPixel(x);
    object.hoY = toPixel(y);
    reinterpret_cast<RunObject&>(object).roc.rcChanged = 1;
    redraw(rd, object);
}

void reportEvent(RUNDATA& rd, const headerObject& object, int32_t x, int32_t y, int condition) {
    rd.eventX = x;
    rd.eventY = y;
    if (int32_t fixed = fixedValueOf(object); fixed != 0) rd.eventFixedValue = fixed;
    generateEvent(rd, condition);
}

template <typename Container>
bool stepRejectTimer(RUNDATA& rd, Container& records, size_t i) {
    MotionRecord& r = records[i];
    if (!r.rejectArmed) return false;
    if (r.rejectCountdown != 0) {
        --r.rejectCountdown;
        return false;
    }
    // Copied first: condition 9's events may append Null records.
    headerObject* object = r.object;
    const bool destroy = r.destroyOnReject;
    removeFromGroup(rd, r.groupId, r.kindIndex);
    if (destroy) destroyObject(rd, *object);
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

bool stepSleep(RUNDATA& rd, const headerObject& object, SleepBlock& s) {
    if (s.repetitions == 0) {
        s.asleep = false;
        return true;
    }
    if (!s.asleep) {
        if (s.intervalLeft != 0) {
            --s.intervalLeft;
            return true;
        }
        s.asleep = true;
        s.sleepLeft = s.sleepLength;
    }
    if (s.sleepLeft != 0) {
        rd.eventSleepCount = s.sleepLeft;
        reportEvent(rd, object, object.hoX, object.hoY, CND_SLEEPING);
        --s.sleepLeft;
        return false;
    }
    s.asleep = false;
    s.intervalLeft = s.intervalLength;
    if (s.repetitions > 0) --s.repetitions;
    return true;
}

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

}  // namespace

bool crossWall(RUNDATA& rd, WrapFlipRecord& r) {
    double& p = r.horizontal ? r.x : r.y;
    double& v = r.horizontal ? r.velocityX : r.velocityY;
    const Walls walls = r.horizontal ? Walls{CND_WALL_LEFT, CND_WALL_RIGHT} : Walls{CND_WALL_TOP, CND_WALL_BOTTOM};
    const double a = r.wallA, b = r.wallB;
    const double n = p + v;
    const bool forward = v >= 0;
    if (forward ? n <= b : n >= a) {
        p = n;
        return false;
    }
    const int met = forward ? walls.second : walls.first;
    const int other = forward ? walls.first : walls.second;
    if (r.wrap) {
        wallEvent(rd, r, p, met);
        // Past either wall, the overshoot carries on from the other one.
        p = forward ? (n - b) + a : b - (a - n);
        wallEvent(rd, r, p, other);
        return true;
    }
    v = -v;
    // A horizontal flip reports where the object would stand one step back.
    wallEvent(rd, r, r.horizontal ? p + v : p, met);
    return true;
}

// ---- 2. Per-kind passes --------------------------------------------------------------

namespace {

// A registered object that the game destroyed itself leaves the registry,
// and is never written to again.
template <typename Container>
bool dropIfDestroyed(RUNDATA& rd, Container& records, size_t i) {
    MotionRecord& r = records[i];
    if ((r.object->hoFlags & HOF_DESTROYED) == 0) return false;
    const uint8_t groupId = r.groupId, kindIndex = r.kindIndex;
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
    removeFromGroup(rd, groupId, kindIndex);
    return true;
}

// A record whose timer has just run out moves no more.
bool expiring(const MotionRecord& r) { return r.rejectArmed && r.rejectCountdown == 0; }

void advanceNullTimers(RUNDATA& rd) {
    auto& records = registry().nulls;
    for (size_t i = 0; i < records.size();) {
        if (dropIfDestroyed(rd, records, i) || stepRejectTimer(rd, records, i)) continue;
        ++i;
    }
}

void stepWrapFlip(RUNDATA& rd, WrapFlipRecord& r) {
    if (r.sleep.stopped || expiring(r)) return;
    if (!stepSleep(rd, *r.object, r.sleep)) return;
    crossWall(rd, r);
    writeBack(rd, *r.object, r.x, r.y);
}

void updateWrapFlip(RUNDATA& rd) {
    auto& records = registry().wrapFlips;
    for (size_t i = 0; i < records.size();) {
        if (dropIfDestroyed(rd, records, i)) continue;
        stepWrapFlip(rd, records[i]);
        if (stepRejectTimer(rd, records, i)) continue;
        ++i;
    }
}

}  // namespace

// ---- 3. The dispatcher ------------------------------------------------------------------

bool runMotionPass(RUNDATA& rd) {
    MotionRegistry& reg = registry();
    {
        WalkGuard walking;
        if (!reg.groups.empty()) {
            if (!reg.nulls.empty()) advanceNullTimers(rd);
            if (!reg.wrapFlips.empty()) updateWrapFlip(rd);
        }
    }
    rd.inHandler = false;
    if (reg.groups.empty()) rd.handleEnabled = false;
    return !rd.handleEnabled;
}

template bool stepRejectTimer(RUNDATA&, std::deque<MotionRecord>&, size_t);
template bool stepRejectTimer(RUNDATA&, std::vector<WrapFlipRecord>&, size_t);
template bool stepRejectTimer(RUNDATA&, std::vector<SineWaveRecord>&, size_t);
template bool stepRejectTimer(RUNDATA&, std::vector<OrbitalRecord>&, size_t);

}  // namespace trivu
