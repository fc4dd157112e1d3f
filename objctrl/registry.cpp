#include "objctrl/registry.h"

#include <cmath>
#include <mutex>

#include "common/notifier.h"
#include "host/catalogue.h"
#include "host/services.h"

namespace trivu {
namespace {

MotionRegistry state;
std::once_flag initialised;

void refillFreeIds(std::deque<uint8_t>& ids) {
    ids.clear();
    for (int id = 0; id < UNIQUE_ID_COUNT; ++id) ids.push_back(static_cast<uint8_t>(id));
}

bool isRegistered(const headerObject* object) { return state.objects.count(object) != 0; }

// Alterable values A and B as integers; an object without a values array
// keeps none (an array holds all 26 values).
void markObject(headerObject& object, int32_t loopIndex, uint8_t kindIndex) {
    CValue* values = reinterpret_cast<RunObject&>(object).rov.rvpValues;
    if (values == nullptr) return;
    values[0].m_type = TYPE_LONG;
    values[0].m_long = loopIndex;
    values[1].m_type = TYPE_LONG;
    values[1].m_long = kindIndex;
}

// The kind index that alterable value B names: an integer modulo 256, a
// float truncated first, anything else 0.
int kindFromMark(const headerObject& object) {
    const CValue* values = reinterpret_cast<const RunObject&>(object).rov.rvpValues;
    if (values == nullptr) return INDEX_NULL;
    const CValue& b = values[1];
    if (b.m_type == TYPE_LONG) return static_cast<uint8_t>(b.m_long);
    if (b.m_type == TYPE_DOUBLE && std::isfinite(b.m_double))
        return static_cast<int>(std::fmod(std::trunc(b.m_double), 256.0) + 256) % 256;
    return INDEX_NULL;
}

// The group to register into: found by name, or a new one (`created`). Null
// when a new one is needed and every unique ID is taken.
MotionGroup* groupFor(const std::u16string& name, bool& created) {
    created = false;
    if (MotionGroup* g = findGroupByName(name)) return g;
    if (state.freeIds.empty()) return nullptr;
    MotionGroup& g = state.groups.emplace_back();
    g.name = name;
    g.groupId = state.freeIds.front();
    state.freeIds.pop_front();
    created = true;
    return &g;
}

template <typename Container, typename Record>
bool registerInto(RUNDATA& rd, Container& records, headerObject& object, const std::u16string& name, Record record,
                  uint8_t kindIndex) {
    if (!state.groups.empty() && isRegistered(&object)) return false;
    bool created = false;
    MotionGroup* g = groupFor(name, created);
    if (g == nullptr) return false;
    record.object = &object;
    record.groupId = g->groupId;
    record.kindIndex = kindIndex;
    try {
        state.objects.insert(&object);
        records.push_back(std::move(record));
    } catch (...) {
        // Out of memory: as before the call, and no empty group behind.
        state.objects.erase(&object);
        if (created) {
            state.freeIds.push_front(g->groupId);
            state.groups.pop_back();
        }
        throw;
    }
    ++g->count[kindIndex];
    markObject(object, actionLoopIndex(rd), kindIndex);
    return true;
}

void destroyAll(RUNDATA& rd) {
    forEachContainer(state, [&](auto& records) {
        for (auto& r : records) destroyObject(rd, *r.object);
    });
}

template <typename Container>
void armAll(Container& records, int32_t frames, bool destroy) {
    for (auto& r : records) {
        r.rejectArmed = true;
        r.rejectCountdown = frames;
        r.destroyOnReject = destroy;
    }
}

void arm(MotionRecord& r, int32_t frames, bool destroy) {
    r.rejectArmed = true;
    r.rejectCountdown = frames;
    r.destroyOnReject = destroy;
}

// Arms the group's records of one kind that have no timer yet; answers how
// many it armed.
template <typename Container>
uint32_t armGroup(Container& records, uint8_t groupId, uint32_t count, int32_t frames, bool destroy) {
    uint32_t armed = 0;
    for (size_t i = 0; i < records.size() && armed < count; ++i) {
        MotionRecord& r = records[i];
        if (r.groupId != groupId || r.rejectArmed) continue;
        arm(r, frames, destroy);
        ++armed;
    }
    return armed;
}

// Removes the group's records of one kind at once, in order. The records
// leave in one compacting move; then each object is destroyed when asked and
// counted out of its group, the last count raising condition 9 with the
// records already gone, as if each had been erased on its own.
template <typename Container>
void removeGroupRecords(RUNDATA& rd, Container& records, uint8_t groupId, uint8_t kindIndex, bool destroy) {
    const MotionGroup* g = findGroupById(groupId);
    if (g == nullptr) return;
    const size_t count = g->count[kindIndex];
    std::vector<headerObject*> leaving;
    leaving.reserve(count);
    auto kept = records.begin();
    for (auto at = records.begin(); at != records.end(); ++at) {
        if (at->groupId == groupId && leaving.size() < count) {
            leaving.push_back(at->object);  // into the room reserved: cannot fail
            forgetObject(at->object);
        } else {
            *kept++ = *at;
        }
    }
    records.erase(kept, records.end());
    for (headerObject* object : leaving) {
        if (destroy) destroyObject(rd, *object);
        removeFromGroup(rd, groupId, kindIndex);
    }
}

template <typename Container>
bool rejectDirectIn(RUNDATA& rd, Container& records, headerObject& object, int32_t frames, bool destroy) {
    for (size_t i = 0; i < records.size(); ++i) {
        MotionRecord& r = records[i];
        if (r.object != &object || r.rejectArmed) continue;
        if (frames >= 1) {
            arm(r, frames, destroy);
            return true;
        }
        const uint8_t groupId = r.groupId, kindIndex = r.kindIndex;
        if (!state.groups.empty() && findGroupById(groupId) == nullptr) {
            notify(rd, notices::noMatchedUniqueId);
            return false;
        }
        records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
        forgetObject(&object);
        if (!state.groups.empty()) removeFromGroup(rd, groupId, kindIndex);
        if (destroy) destroyObject(rd, object);
        return false;
    }
    return false;
}

}  // namespace

MotionRegistry& registry() { return state; }

void ensureInitialised() {
    std::call_once(initialised, [] { refillFreeIds(state.freeIds); });
}

void resetRegistry() {
    state = MotionRegistry{};
    refillFreeIds(state.freeIds);
}

std::u16string chooseGroupName(const headerObject& object, const std::u16string& name) {
    if (!name.empty()) return name;
    if (object.hoOiList == nullptr) return {};
    // The host keeps the name inline: at most 24 units, up to the first zero.
    std::u16string oilName;
    for (int i = 0; i < OIL_NAME_UNITS; ++i) {
        const char16_t unit = object.hoOiList->oilName[i];
        if (unit == 0) break;
        oilName.push_back(unit);
    }
    return oilName;
}

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, MotionRecord record) {
    if (state.pendingNullTimer) arm(record, state.pendingNullFrames, true);
    return registerInto(rd, state.nulls, object, groupName, record, INDEX_NULL);
}

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, WrapFlipRecord record) {
    return registerInto(rd, state.wrapFlips, object, groupName, std::move(record), INDEX_WRAPFLIP);
}

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, SineWaveRecord record) {
    return registerInto(rd, state.sineWaves, object, groupName, std::move(record), INDEX_SINEWAVE);
}

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, OrbitalRecord record) {
    return registerInto(rd, state.orbitals, object, groupName, std::move(record), INDEX_ORBITAL);
}

MotionGroup* findGroupByName(const std::u16string& name) {
    for (MotionGroup& g : state.groups)
        if (g.name == name) return &g;
    return nullptr;
}

MotionGroup* findGroupById(uint8_t groupId) {
    for (MotionGroup& g : state.groups)
        if (g.groupId == groupId) return &g;
    return nullptr;
}

void removeFromGroup(RUNDATA& rd, uint8_t groupId, uint8_t kindIndex) {
    for (size_t i = 0; i < state.groups.size(); ++i) {
        MotionGroup& g = state.groups[i];
        if (g.groupId != groupId) continue;
        if (g.count[kindIndex] > 0) --g.count[kindIndex];
        if (g.count != decltype(g.count){}) return;
        // The group is gone before its events run, so that an event that
        // registers under the same name starts a fresh group instead of
        // joining one about to be erased.
        state.lastRejectedGroup = g.name;
        state.groups.erase(state.groups.begin() + static_cast<std::ptrdiff_t>(i));
        state.freeIds.push_back(groupId);
        raiseMotionEvent(rd, CND_GROUP_REJECTED);
        return;
    }
}

void raiseMotionEvent(RUNDATA& rd, int condition) {
    if (state.openGap.close != nullptr) state.openGap.close(state.openGap.walk);
    generateEvent(rd, condition);
}

bool rejectAll(RUNDATA& rd, int32_t frames, bool destroy) {
    if (frames >= 1) {
        forEachContainer(state, [&](auto& records) { armAll(records, frames, destroy); });
        return true;
    }
    if (destroy) destroyAll(rd);
    forEachContainer(state, [](auto& records) { records.clear(); });
    state.objects.clear();
    state.groups.clear();
    refillFreeIds(state.freeIds);
    return false;
}

bool rejectByName(RUNDATA& rd, const std::u16string& groupName, int32_t frames, bool destroy) {
    const MotionGroup* g = findGroupByName(groupName);
    if (g == nullptr) return false;
    const uint8_t groupId = g->groupId;
    const auto counts = g->count;
    WalkGuard walking;
    bool armed = false;
    auto treat = [&](auto& records, uint8_t kindIndex) {
        if (counts[kindIndex] == 0) return;
        if (frames >= 1)
            armed = armGroup(records, groupId, counts[kindIndex], frames, destroy) > 0 || armed;
        else
            removeGroupRecords(rd, records, groupId, kindIndex, destroy);
    };
    treat(state.nulls, INDEX_NULL);
    treat(state.wrapFlips, INDEX_WRAPFLIP);
    treat(state.sineWaves, INDEX_SINEWAVE);
    treat(state.orbitals, INDEX_ORBITAL);
    return armed;
}

bool rejectDirect(RUNDATA& rd, headerObject& object, int32_t frames, bool destroy) {
    WalkGuard walking;
    switch (kindFromMark(object)) {
        case INDEX_NULL: return rejectDirectIn(rd, state.nulls, object, frames, destroy);
        case INDEX_WRAPFLIP: return rejectDirectIn(rd, state.wrapFlips, object, frames, destroy);
        case INDEX_SINEWAVE: return rejectDirectIn(rd, state.sineWaves, object, frames, destroy);
        case INDEX_ORBITAL: return rejectDirectIn(rd, state.orbitals, object, frames, destroy);
        default: return false;
    }
}

int32_t countRegistered(int32_t motionKind) {
    switch (motionKind) {
        case KIND_NULL: return static_cast<int32_t>(state.nulls.size());
        case KIND_WRAPFLIP: return static_cast<int32_t>(state.wrapFlips.size());
        case KIND_SINEWAVE: return static_cast<int32_t>(state.sineWaves.size());
        case KIND_ORBITAL: return static_cast<int32_t>(state.orbitals.size());
        case KIND_MOVETOWARD: return static_cast<int32_t>(state.moveTowards.size());
        default: {
            size_t total = 0;
            forEachContainer(state, [&](const auto& records) { total += records.size(); });
            return static_cast<int32_t>(total);
        }
    }
}

void wakeMotionPass(RUNDATA& rd) {
    rd.handleEnabled = true;
    requestRehandle(rd);
}

bool refusedWhileWalking(RUNDATA& rd) {
    if (!rd.inHandler && state.walking == 0) return false;
    notify(rd, notices::restriction);
    return true;
}

}  // namespace trivu
