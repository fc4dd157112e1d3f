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

// Written as two selections so that they compile to min and max without a
// branch; NaN lands on the lower bound.
int32_t toPixel(double v) {
    const double low = v > -2147483648.0 ? v : -2147483648.0;
    return static_cast<int32_t>(low < 2147483647.0 ? low : 2147483647.0);
}

namespace {

inline void place(const Redrawer& redraw, headerObject& object, double x, double y) {
    object.hoX = toPixel(x);
    object.hoY = toPixel(y);
    reinterpret_cast<RunObject&>(object).roc.rcChanged = 1;
    redraw(object);
}

}  // namespace

void writeBack(RUNDATA& rd, headerObject& object, double x, double y) { place(Redrawer(rd), object, x, y); }

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

// Past a wall: the events, then wrap or flip. Kept out of line, so that the
// common move inside the walls stays small.
[[gnu::noinline]] void meetWall(RUNDATA& rd, WrapFlipRecord& r, double& p, double& v, double n) {
    const Walls walls = r.horizontal ? Walls{CND_WALL_LEFT, CND_WALL_RIGHT} : Walls{CND_WALL_TOP, CND_WALL_BOTTOM};
    const bool forward = v >= 0;
    const int met = forward ? walls.second : walls.first;
    const int other = forward ? walls.first : walls.second;
    if (r.wrap) {
        wallEvent(rd, r, p, met);
        // Past either wall, the overshoot carries on from the other one.
        const double a = r.wallA, b = r.wallB;
        p = forward ? (n - b) + a : b - (a - n);
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

// ---- 2. Per-kind passes --------------------------------------------------------------

namespace {

// A registered object that the game destroyed itself leaves the registry,
// and is never written to again.
template <typename Container>
void dropDestroyed(RUNDATA& rd, Container& records, size_t i) {
    const MotionRecord& r = records[i];
    const uint8_t groupId = r.groupId, kindIndex = r.kindIndex;
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
    removeFromGroup(rd, groupId, kindIndex);
}

inline bool destroyedByGame(const MotionRecord& r) { return (r.object->hoFlags & HOF_DESTROYED) != 0; }

// A record whose timer has just run out moves no more.
bool expiring(const MotionRecord& r) { return r.rejectArmed && r.rejectCountdown == 0; }

// Null records only wait: most frames touch nothing but their flags.
void advanceNullTimers(RUNDATA& rd) {
    auto& records = registry().nulls;
    for (size_t i = 0; i < records.size();) {
        const MotionRecord& r = records[i];
        if (destroyedByGame(r)) {
            dropDestroyed(rd, records, i);
            continue;
        }
        if (r.rejectArmed && stepRejectTimer(rd, records, i)) continue;
        ++i;
    }
}

// Whether the record moves this frame: not stopped, not expiring, awake.
inline bool moves(RUNDATA& rd, MotionRecord& r, SleepBlock& sleep) {
    if (sleep.stopped || expiring(r)) return false;
    if (sleep.repetitions == 0) {
        sleep.asleep = false;
        return true;
    }
    return stepSleep(rd, *r.object, sleep);
}

// The events raised on the way cannot reshape the array (registration and
// rejection refuse while it is walked), so its extent is read again only
// after a record has been erased here.
void updateWrapFlip(RUNDATA& rd) {
    auto& records = registry().wrapFlips;
    const Redrawer redraw(rd);
    WrapFlipRecord* at = records.data();
    size_t count = records.size();
    for (size_t i = 0; i < count;) {
        WrapFlipRecord& r = at[i];
        bool erased = false;
        if (destroyedByGame(r)) {
            dropDestroyed(rd, records, i);
            erased = true;
        } else {
            if (moves(rd, r, r.sleep)) {
                crossWall(rd, r);
                place(redraw, *r.object, r.x, r.y);
            }
            erased = r.rejectArmed && stepRejectTimer(rd, records, i);
        }
        if (!erased) {
            ++i;
            continue;
        }
        at = records.data();
        count = records.size();
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
