#include "objctrl/registry.h"

#include <cmath>

#include "common/notifier.h"
#include "host/boundary/ace_numbers.h"
#include "host/boundary/services.h"

namespace trivu {
namespace {

bool isRegistered(const headerObject* object) { return registry().slots.count(object) != 0; }

void markObject(headerObject& object, int32_t loopIndex, uint8_t kindIndex) {
    setAlterableValue(object, Alterable::A, loopIndex);
    setAlterableValue(object, Alterable::B, kindIndex);
}

// The kind index that alterable value B names: an integer modulo 256, a
// float truncated first, anything else 0.
int kindFromMark(const headerObject& object) {
    const CValue* b = alterableValue(object, Alterable::B);
    if (b == nullptr) return INDEX_NULL;
    if (b->m_type == TYPE_LONG) return static_cast<uint8_t>(b->m_long);
    if (b->m_type == TYPE_DOUBLE && std::isfinite(b->m_double))
        return static_cast<int>(std::fmod(std::trunc(b->m_double), 256.0) + 256) % 256;
    return INDEX_NULL;
}

// The group to register into: found by name, or a new one (`created`). Null
// when a new one is needed and every unique ID is taken.
MotionGroup* groupFor(const std::u16string& name, bool& created) {
    created = false;
    if (MotionGroup* g = findGroupByName(name)) return g;
    if (registry().freeIds.empty()) return nullptr;
    MotionGroup& g = registry().groups.emplace_back();
    g.name = name;
    g.groupId = registry().freeIds.take();
    created = true;
    return &g;
}

template <typename Container, typename Record>
bool registerInto(RUNDATA& rd, Container& records, headerObject& object, const std::u16string& name, Record record,
                  uint8_t kindIndex) {
    if (!registry().groups.empty() && isRegistered(&object)) return false;
    bool created = false;
    MotionGroup* g = groupFor(name, created);
    if (g == nullptr) return false;
    record.object = &object;
    record.groupId = g->groupId;
    record.kindIndex = kindIndex;
    try {
        // Over a slot naming an older record of the object, which is leaving
        // (see leave).
        registry().slots.insert_or_assign(&object, records.size());
        records.push_back(std::move(record));
    } catch (...) {
        // Out of memory: as before the call, and no empty group behind.
        registry().slots.erase(&object);
        if (created) {
            registry().freeIds.untake(g->groupId);
            registry().groups.pop_back();
        }
        throw;
    }
    ++g->count[kindIndex];
    markObject(object, actionLoopIndex(rd), kindIndex);
    return true;
}

void arm(MotionRecord& r, int32_t frames, bool destroy) {
    r.rejectArmed = true;
    r.rejectCountdown = frames;
    r.destroyOnReject = destroy;
}

// Arms the group's records of one kind that have no timer yet; a record
// already counting down keeps its count. Answers whether the walk treated as
// many of the group's records as its counter for the kind says.
template <typename Container>
bool armGroup(Container& records, uint8_t groupId, uint32_t count, int32_t frames, bool destroy) {
    uint32_t treated = 0;
    forEachLive(records, [&](MotionRecord& r) {
        if (r.groupId != groupId) return true;
        if (!r.rejectArmed) arm(r, frames, destroy);
        return ++treated < count;
    });
    return treated == count;
}

// Removes the group's records of one kind at once, in order, each as a
// record leaves on its own: its object destroyed when asked, its group
// counter down (the kind's last one may remove the group, raising condition
// 9 while the record still stands), then the record gone.
template <typename Container>
void removeGroupRecords(RUNDATA& rd, Container& records, uint8_t groupId, bool destroy) {
    constexpr uint8_t kind = kindOf<Container>();
    forEachLive(records, [&](MotionRecord& r) {
        if (r.groupId != groupId) return true;
        if (destroy) destroyObject(rd, *r.object);
        removeFromGroup(rd, groupId, kind);
        leave(records, r);
        const MotionGroup* g = findGroupById(groupId);
        return g != nullptr && g->count[kind] != 0;
    });
}

// The live record of `object` in `records`, through its slot.
template <typename Container>
MotionRecord* recordOf(Container& records, const headerObject& object) {
    const auto slot = registry().slots.find(&object);
    if (slot == registry().slots.end() || slot->second >= records.size()) return nullptr;
    MotionRecord& r = records[slot->second];
    return r.object == &object ? &r : nullptr;
}

template <typename Container>
bool rejectDirectIn(RUNDATA& rd, Container& records, headerObject& object, int32_t frames, bool destroy) {
    MotionRecord* r = recordOf(records, object);
    if (r == nullptr || r->rejectArmed) return false;
    if (frames >= 1) {
        arm(*r, frames, destroy);
        return true;
    }
    if (!registry().groups.empty()) {
        if (findGroupById(r->groupId) == nullptr) {
            notify(rd, MessageId::NoMatchedUniqueId);
            return false;
        }
        // Condition 9 still finds the record in place: events raised here
        // cannot reach it (rejections refuse), and a Null registration only
        // appends, which moves no record.
        removeFromGroup(rd, r->groupId, kindOf<Container>());
    }
    if (destroy) destroyObject(rd, object);
    leave(records, *r);
    return false;
}

// Moves the live records of `records` down over the dead ones, in order, and
// tells the slots where they now stand.
template <typename Container>
void compact(Container& records, size_t& dead) noexcept {
    size_t kept = 0;
    for (size_t at = 0; at < records.size(); ++at) {
        if (!isLive(records[at])) continue;
        if (kept != at) {
            records[kept] = records[at];
            if (auto slot = registry().slots.find(records[kept].object); slot != registry().slots.end() && slot->second == at)
                slot->second = kept;
        }
        ++kept;
    }
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(kept), records.end());
    dead = 0;
}

}  // namespace

void compactRegistry() noexcept {
    forEachContainer(registry(), [](auto& records) {
        size_t& dead = registry().dead[kindOf<std::remove_reference_t<decltype(records)>>()];
        if (dead > records.size() - dead) compact(records, dead);
    });
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

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, int32_t destroyAfter) {
    MotionRecord record;
    if (destroyAfter >= 1) arm(record, destroyAfter, true);
    return registerInto(rd, registry().nulls, object, groupName, record, INDEX_NULL);
}

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, WrapFlipRecord record) {
    return registerInto(rd, registry().wrapFlips, object, groupName, std::move(record), INDEX_WRAPFLIP);
}

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, SineWaveRecord record) {
    return registerInto(rd, registry().sineWaves, object, groupName, std::move(record), INDEX_SINEWAVE);
}

bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, OrbitalRecord record) {
    return registerInto(rd, registry().orbitals, object, groupName, std::move(record), INDEX_ORBITAL);
}

MotionGroup* findGroupByName(const std::u16string& name) {
    for (MotionGroup& g : registry().groups)
        if (g.name == name) return &g;
    return nullptr;
}

MotionGroup* findGroupById(uint8_t groupId) {
    for (MotionGroup& g : registry().groups)
        if (g.groupId == groupId) return &g;
    return nullptr;
}

void removeFromGroup(RUNDATA& rd, uint8_t groupId, uint8_t kindIndex) {
    for (size_t i = 0; i < registry().groups.size(); ++i) {
        MotionGroup& g = registry().groups[i];
        if (g.groupId != groupId) continue;
        if (g.count[kindIndex] > 0) --g.count[kindIndex];
        if (g.count != decltype(g.count){}) return;
        // The group is gone before its events run, so that an event that
        // registers under the same name starts a fresh group instead of
        // joining one about to be erased.
        registry().lastRejectedGroup = g.name;
        registry().groups.erase(registry().groups.begin() + static_cast<std::ptrdiff_t>(i));
        registry().freeIds.giveBack(groupId);
        generateEvent(rd, CND_GROUP_REJECTED);
        return;
    }
}

bool rejectAll(RUNDATA& rd, int32_t frames, bool destroy) {
    if (frames >= 1) {
        forEachContainer(registry(), [&](auto& records) {
            forEachLive(records, [&](MotionRecord& r) { arm(r, frames, destroy); });
        });
        return true;
    }
    if (destroy) {
        forEachContainer(registry(), [&](auto& records) {
            forEachLive(records, [&](MotionRecord& r) { destroyObject(rd, *r.object); });
        });
    }
    forEachContainer(registry(), [](auto& records) { records.clear(); });
    registry().dead = {};
    registry().slots.clear();
    registry().groups.clear();
    registry().freeIds = FreeIds{};
    return false;
}

bool rejectByName(RUNDATA& rd, const std::u16string& groupName, int32_t frames, bool destroy) {
    const MotionGroup* named = findGroupByName(groupName);
    if (named == nullptr) return false;
    const uint8_t groupId = named->groupId;
    WalkGuard walking;
    bool wake = false;
    auto treat = [&](auto& records) {
        constexpr uint8_t kind = kindOf<std::remove_reference_t<decltype(records)>>();
        // The group may be gone by now (condition 9 of an earlier kind).
        const MotionGroup* g = findGroupById(groupId);
        if (g == nullptr || g->count[kind] == 0) return;
        if (frames < 1) {
            removeGroupRecords(rd, records, groupId, destroy);
            return;
        }
        // Once the kind's records are all armed, the pass is woken if it
        // sleeps.
        if (armGroup(records, groupId, g->count[kind], frames, destroy) && !rd.handleEnabled) wake = true;
    };
    treat(registry().nulls);
    treat(registry().wrapFlips);
    treat(registry().sineWaves);
    treat(registry().orbitals);
    return wake;
}

bool rejectDirect(RUNDATA& rd, headerObject& object, int32_t frames, bool destroy) {
    WalkGuard walking;
    switch (kindFromMark(object)) {
        case INDEX_NULL: return rejectDirectIn(rd, registry().nulls, object, frames, destroy);
        case INDEX_WRAPFLIP: return rejectDirectIn(rd, registry().wrapFlips, object, frames, destroy);
        case INDEX_SINEWAVE: return rejectDirectIn(rd, registry().sineWaves, object, frames, destroy);
        case INDEX_ORBITAL: return rejectDirectIn(rd, registry().orbitals, object, frames, destroy);
        default: return false;
    }
}

int32_t countRegistered(int32_t motionKind) {
    size_t total = 0;
    forEachContainer(registry(), [&](const auto& records) {
        constexpr uint8_t kind = kindOf<std::remove_cvref_t<decltype(records)>>();
        if (motionKind == kind + 1 || motionKind < KIND_NULL || motionKind > KIND_MOVETOWARD)
            total += records.size() - registry().dead[kind];
    });
    return static_cast<int32_t>(total);
}

void wakeMotionPass(RUNDATA& rd) {
    rd.handleEnabled = true;
    requestRehandle(rd);
}

bool refusedWhileWalking(RUNDATA& rd) {
    if (!rd.inHandler && registry().walking == 0) return false;
    notify(rd, MessageId::Restriction);
    return true;
}

}  // namespace trivu
