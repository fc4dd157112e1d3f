// The motion controllers: stop, sleep, reverse, grow the radius, change the
// centre, by group name or directly. They change fields of existing records
// only, never the containers, so they also run from events of the pass.
//
// Index
//   1. Choosing records   by name (two lookups), directly
//   2. What each controller writes, per kind
//   3. The actions
#include <cmath>
#include <type_traits>

#include "common/notifier.h"
#include "common/params.h"
#include "objctrl/aces.h"
#include "objctrl/registry.h"

namespace trivu {
namespace {

// ---- 1. Choosing records ------------------------------------------------------------

// The group a controller's name picks: `g` stays null for an empty name,
// which means every record. False when there is nothing to act on: an empty
// registry, or a name that no group has.
bool pickGroup(const std::u16string& name, const MotionGroup*& g) {
    if (registry().groups.empty()) return false;
    if (name.empty()) return true;
    g = findGroupByName(name);
    return g != nullptr;
}

// Stop, sleep, reverse and change centre by name: every record for an
// empty name, none for an unknown one, otherwise the group's records in
// every container (each controller passes over the kinds it leaves alone).
// The walk is not bounded by the group's per-kind counters: they always
// equal its live records, so such a bound would only end a walk early.
template <typename F>
void byName(const std::u16string& name, F&& treat) {
    const MotionGroup* g = nullptr;
    if (!pickGroup(name, g)) return;
    forEachContainer(registry(), [&](auto& records) {
        forEachLive(records, [&](auto& r) {
            if (g == nullptr || r.groupId == g->groupId) treat(r);
        });
    });
}

// The record of a usable object, looked for in visiting order.
template <typename F>
void directly(RUNDATA& rd, headerObject* candidate, F&& treat) {
    headerObject* object = usableSprite(rd, candidate);
    if (object == nullptr) return;
    bool found = false;
    forEachContainer(registry(), [&](auto& records) {
        forEachLive(records, [&](auto& r) {
            if (found || r.object != object) return !found;
            found = true;
            treat(r);
            return false;
        });
    });
}

// ---- 2. What each controller writes -------------------------------------------------

// Every kind but Null stops and sleeps.
template <typename Record>
constexpr bool hasSleep = requires(Record r) { r.sleep; };

template <typename Record>
void stop(Record& r, bool toggle) {
    if constexpr (hasSleep<Record>) r.sleep.stopped = toggle ? !r.sleep.stopped : true;
}

struct SleepValues {
    int32_t frames, repetitions, interval;  // Ft, Re, Wt
};

template <typename Record>
void sleepFor(Record& r, const SleepValues& v, bool orbitsToo) {
    constexpr bool orbit = std::is_same_v<Record, OrbitalRecord>;
    if constexpr (hasSleep<Record>) {
        if (orbit && !orbitsToo) return;
        r.sleep.asleep = v.interval != 0;
        r.sleep.sleepLeft = r.sleep.sleepLength = v.frames;
        r.sleep.repetitions = v.repetitions;
        // Wt is what passes between two sleeps: frames, or an orbit's degrees
        // (here as given, not as the registration's magnitude minus one).
        if constexpr (orbit) {
            r.rotationLeft = 0;
            r.rotationPerSleep = v.interval;
        } else {
            r.sleep.intervalLeft = 0;
            r.sleep.intervalLength = v.interval;
        }
    }
}

template <typename Record>
void reverse(Record& r) {
    if constexpr (std::is_same_v<Record, OrbitalRecord>) {
        r.omega = -r.omega;
    } else if constexpr (std::is_base_of_v<WrapFlipRecord, Record>) {
        r.velocityX = -r.velocityX;
        r.velocityY = -r.velocityY;
    }
}

void setGrow(GrowAxis& g, const float* v) {
    g.max = v[0];
    g.min = v[1];
    g.delta = v[2];
    g.pauseLeft = g.pauseLength = static_cast<int32_t>(std::fmax(std::fmin(v[3], 2147483520.0f), -2147483648.0f));
    g.repetitions = static_cast<int32_t>(std::fmax(std::fmin(v[4], 2147483520.0f), -2147483648.0f));
    g.pausing = false;
}

// ---- 3. The actions ---------------------------------------------------------------------

void stopNamed(RUNDATA& rd, bool toggle) {
    byName(textParam(rd), [&](auto& r) { stop(r, toggle); });
}

// The sleep values for this run of the action: parsed for the first of the
// selected instances, reused by the others. Nothing when there are none.
const SleepValues* sleepValues(RUNDATA& rd, SleepValues& out) {
    if (actionLoopIndex(rd) == 0) {
        const std::u16string text = textParam(rd);
        if (!MatchParams(rd, text, formats::sleep) || rd.intParams.size() != 3) {
            rd.intParams.clear();
            return nullptr;
        }
    }
    if (rd.intParams.size() != 3) return nullptr;
    out = {rd.intParams[0], rd.intParams[1], rd.intParams[2]};
    return &out;
}

// The records of `kind` that grow-radius treats: all for an empty name,
// else the first group of that name holding some; null (after the box) when
// there is none.
const MotionGroup* growGroup(const std::u16string& name, uint8_t kindIndex, bool& none) {
    none = false;
    if (name.empty()) return nullptr;
    for (const MotionGroup& g : registry().groups)
        if (g.name == name && g.count[kindIndex] != 0) return &g;
    none = true;
    return nullptr;
}

template <typename Container, typename Apply>
void grow(RUNDATA& rd, Container& records, uint8_t kindIndex, const ParamFormat& format, size_t values, Apply apply) {
    if (actionLoopIndex(rd) != 0) return;
    const std::u16string name = textParam(rd);
    const std::u16string text = textParam(rd);
    if (countRegistered(kindIndex + 1) == 0) return;
    bool none = false;
    const MotionGroup* g = growGroup(name, kindIndex, none);
    if (none) {
        notify(rd, MessageId::GroupNotFound);
        return;
    }
    if (!MatchParams(rd, text, format) || rd.floatParams.size() != values) return;
    forEachLive(records, [&](auto& r) {
        if (g == nullptr || r.groupId == g->groupId) apply(r, rd.floatParams.data());
    });
}

}  // namespace

void toggleStopByName(RUNDATA& rd) { stopNamed(rd, true); }
void stopByName(RUNDATA& rd) { stopNamed(rd, false); }

void toggleStopDirect(RUNDATA& rd) {
    directly(rd, objectParam(rd), [](auto& r) { stop(r, true); });
}

void sleepByName(RUNDATA& rd) {
    MotionRegistry& reg = registry();
    reg.currentGroupName = textParam(rd);
    SleepValues v{};
    if (sleepValues(rd, v) == nullptr) return;
    byName(reg.currentGroupName, [&](auto& r) { sleepFor(r, v, false); });
}

void sleepDirect(RUNDATA& rd) {
    headerObject* object = objectParam(rd);
    SleepValues v{};
    if (sleepValues(rd, v) == nullptr) return;
    directly(rd, object, [&](auto& r) { sleepFor(r, v, true); });
}

void growOrbitRadius(RUNDATA& rd) {
    grow(rd, registry().orbitals, INDEX_ORBITAL, formats::growOrbital, 11, [](OrbitalRecord& r, const float* v) {
        r.growActive = v[0] == 1;
        setGrow(r.growX, v + 1);
        setGrow(r.growY, v + 6);
        if (r.growX.repetitions == 0 && r.growY.repetitions == 0) r.growActive = false;
    });
}

void growWaveAmplitude(RUNDATA& rd) {
    grow(rd, registry().sineWaves, INDEX_SINEWAVE, formats::growSine, 6, [](SineWaveRecord& r, const float* v) {
        r.growActive = v[0] == 1;
        setGrow(r.grow, v + 1);
        if (r.grow.repetitions == 0) r.growActive = false;
    });
}

void changeCentre(RUNDATA& rd) {
    if (actionLoopIndex(rd) != 0) return;
    MotionRegistry& reg = registry();
    if (reg.groups.empty() || countRegistered(KIND_ORBITAL) == 0) return;
    headerObject* centre = usableSprite(rd, objectParam(rd));
    if (centre == nullptr) return;
    byName(textParam(rd), [&](auto& r) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(r)>, OrbitalRecord>) {
            r.centreObject = centre;
            r.centreMode = SUB_ORBIT_TARGET;
        }
    });
}

void reverseByName(RUNDATA& rd) {
    byName(textParam(rd), [](auto& r) { reverse(r); });
}

void reverseDirect(RUNDATA& rd) {
    directly(rd, objectParam(rd), [](auto& r) { reverse(r); });
}

}  // namespace trivu
