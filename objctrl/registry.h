// The MotionRegistry: every registered object of every motion group, shared
// by all TRIVU instances of the process, and the operations that register
// and reject them.
//
// Records live by value in one container per kind (a deque for Null records,
// contiguous arrays for the others), visited in the order Null, WrapFlip,
// SineWave, Orbital, Movetoward, each front to back.
//
// A record that leaves is only marked dead where it stands (its object
// cleared): the game's events, which run inside the walks, see every other
// record where it was. The containers are compacted once no walk is open.
//
// Index
//   1. Records        the common fields, then each kind's own
//   2. Groups and the registry
//   3. Operations     initialisation, registration, rejection, counting
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "host/boundary/ace_numbers.h"
#include "host/boundary/rundata.h"

namespace trivu {

// ---- 1. Records ---------------------------------------------------------------

// MotionKind numbers; a record stores its kind minus one, the kind index
// (KindIndex, host/boundary/ace_numbers.h).
enum MotionKind : int { KIND_TOTAL = 0, KIND_NULL = 1, KIND_WRAPFLIP, KIND_SINEWAVE, KIND_ORBITAL, KIND_MOVETOWARD };
inline constexpr int KIND_INDEX_COUNT = 5;

// The variants of the registration actions.
enum SubKind : int {
    SUB_HORIZONTAL_WRAP = 5,
    SUB_HORIZONTAL_FLIP = 6,
    SUB_VERTICAL_WRAP = 7,
    SUB_VERTICAL_FLIP = 8,
    SUB_ORBIT_OWN = 9,
    SUB_ORBIT_TARGET = 10,
};

// Fields every record starts with; a Null record has only these.
struct MotionRecord {
    headerObject* object = nullptr;
    uint8_t groupId = 0;
    uint8_t kindIndex = INDEX_NULL;
    bool rejectArmed = false;
    int32_t rejectCountdown = 0;
    bool destroyOnReject = false;

    bool operator==(const MotionRecord&) const = default;
};

// Stopping and the sleep cycle of every moving kind. Between two sleep
// phases the lines and waves count frames (the interval here); an orbit
// counts the degrees it turns instead (its rotation fields).
struct SleepBlock {
    bool stopped = false;
    bool asleep = false;
    int32_t sleepLeft = 0;
    int32_t sleepLength = 0;
    int32_t repetitions = 0;  // 0 never sleeps, -1 without end, n more phases
    int32_t intervalLeft = 0;
    int32_t intervalLength = 0;

    bool operator==(const SleepBlock&) const = default;
};

// Constant speed along one axis between two virtual walls.
struct WrapFlipRecord : MotionRecord {
    SleepBlock sleep;
    double x = 0;
    double y = 0;
    bool wrap = true;
    bool horizontal = true;
    double velocityX = 0;
    double velocityY = 0;
    int32_t wallA = 0;  // left or top
    int32_t wallB = 0;  // right or bottom

    bool operator==(const WrapFlipRecord&) const = default;
};

// One bounded, pausing oscillation of a radius (an amplitude or an orbit's
// radius along one axis).
struct GrowAxis {
    double max = 0;
    double min = 0;
    double delta = 0;  // per frame; the sign is the direction
    int32_t pauseLeft = 0;
    int32_t repetitions = 0;  // bound hits still to come, -1 without end
    int32_t pauseLength = 0;
    bool pausing = false;

    bool operator==(const GrowAxis&) const = default;
};

// A WrapFlip motion that also oscillates across its axis.
struct SineWaveRecord : WrapFlipRecord {
    double baseLine = 0;  // the perpendicular coordinate the wave swings about
    double amplitude = 0;
    double omega = 0;  // degrees per frame
    double angle = 0;  // degrees
    bool growActive = false;
    GrowAxis grow;

    bool operator==(const SineWaveRecord&) const = default;
};

// An ellipse around a fixed point or a centre object.
struct OrbitalRecord : MotionRecord {
    double radiusX = 0;
    double radiusY = 0;
    double omega = 0;  // degrees per frame; positive turns counter-clockwise
    SleepBlock sleep;  // its interval unused: see rotationLeft
    double offsetX = 0;
    double offsetY = 0;
    double rotationLeft = 0;  // degrees to turn before the next sleep
    double rotationPerSleep = 0;
    headerObject* centreObject = nullptr;
    double centreX = 0;
    double centreY = 0;
    double angle = 0;
    uint8_t centreMode = SUB_ORBIT_OWN;  // SUB_ORBIT_TARGET follows centreObject
    bool growActive = false;
    GrowAxis growX;
    GrowAxis growY;

    bool operator==(const OrbitalRecord&) const = default;
};

// Counted and controlled, but never registered nor moved.
struct MoveTowardRecord : MotionRecord {
    SleepBlock sleep;

    bool operator==(const MoveTowardRecord&) const = default;
};

// ---- 2. Groups and the registry ----------------------------------------------

struct MotionGroup {
    std::u16string name;  // compared exactly
    uint8_t groupId = 0;
    // Records per kind index. Wider than a byte: a group may hold more than
    // 255 records of one kind, and a wrapped counter would lose them.
    std::array<uint32_t, KIND_INDEX_COUNT> count{};

    bool operator==(const MotionGroup&) const = default;
};

inline constexpr int UNIQUE_ID_COUNT = 255;

// The unique IDs no group holds, handed out first in first out. A ring over
// a fixed array that starts full (0..254): the registry needs no first-use
// step, and taking or giving back an ID never allocates.
struct FreeIds {
    std::array<uint8_t, UNIQUE_ID_COUNT> ring = everyId();
    int head = 0;  // where the next ID to hand out stands
    int count = UNIQUE_ID_COUNT;

    bool operator==(const FreeIds&) const = default;

    static constexpr std::array<uint8_t, UNIQUE_ID_COUNT> everyId() {
        std::array<uint8_t, UNIQUE_ID_COUNT> ids{};
        for (int id = 0; id < UNIQUE_ID_COUNT; ++id) ids[id] = static_cast<uint8_t>(id);
        return ids;
    }
    bool empty() const { return count == 0; }
    int size() const { return count; }
    uint8_t front() const { return ring[head]; }
    uint8_t back() const { return ring[(head + count - 1) % UNIQUE_ID_COUNT]; }
    uint8_t take() {
        const uint8_t id = ring[head];
        head = (head + 1) % UNIQUE_ID_COUNT;
        --count;
        return id;
    }
    void giveBack(uint8_t id) { ring[(head + count++) % UNIQUE_ID_COUNT] = id; }
    void untake(uint8_t id) {  // undoes the last take
        head = (head + UNIQUE_ID_COUNT - 1) % UNIQUE_ID_COUNT;
        ring[head] = id;
        ++count;
    }
};

struct MotionRegistry {
    std::deque<MotionRecord> nulls;
    std::vector<WrapFlipRecord> wrapFlips;
    std::vector<SineWaveRecord> sineWaves;
    std::vector<OrbitalRecord> orbitals;
    std::vector<MoveTowardRecord> moveTowards;
    // Records per kind index that have left but still stand in their
    // container, dead, until it is compacted.
    std::array<size_t, KIND_INDEX_COUNT> dead{};

    // Where each registered object's record stands in its container, so that
    // a registration need not look through all records and a direct
    // rejection goes straight to its record (an action over n objects would
    // otherwise cost n * n / 2). Kept by registration, by each way a record
    // leaves (leave) and by compaction.
    std::unordered_map<const headerObject*, size_t> slots;

    std::vector<MotionGroup> groups;  // in creation order
    FreeIds freeIds;
    std::u16string lastRejectedGroup;

    // Loop state: the first instance of a moving registration (actions 27,
    // 37-45) names the group, the later instances register into it.
    std::u16string currentGroupName;

    // Walks open at any depth (the motion pass, an immediate rejection):
    // while one is, the events they raise must not reshape the containers,
    // and nothing is compacted.
    int walking = 0;

    bool operator==(const MotionRegistry&) const = default;
};

MotionRegistry& registry();  // kept in host/lifetimes.h

// Calls `f(container)` for each record container in visiting order.
template <typename F>
void forEachContainer(MotionRegistry& reg, F&& f) {
    f(reg.nulls);
    f(reg.wrapFlips);
    f(reg.sineWaves);
    f(reg.orbitals);
    f(reg.moveTowards);
}

// The kind index of the records a container holds.
template <typename Container>
constexpr uint8_t kindOf() {
    using Record = typename Container::value_type;
    if constexpr (std::is_same_v<Record, WrapFlipRecord>) return INDEX_WRAPFLIP;
    else if constexpr (std::is_same_v<Record, SineWaveRecord>) return INDEX_SINEWAVE;
    else if constexpr (std::is_same_v<Record, OrbitalRecord>) return INDEX_ORBITAL;
    else if constexpr (std::is_same_v<Record, MoveTowardRecord>) return INDEX_MOVETOWARD;
    else return INDEX_NULL;
}

inline bool isLive(const MotionRecord& r) { return r.object != nullptr; }

// The one way every reader walks a container: its live records front to
// back, up to the container's end as it stands at each step, so that a
// record an event appends on the way (a Null registration) is visited too.
// `visit(record)` may answer false to end the walk. A visit may raise events
// but must not keep a record across a compaction: none happens while a walk
// is open (WalkGuard).
template <typename Container, typename Visit>
void forEachLive(Container& records, Visit&& visit) {
    for (size_t at = 0; at < records.size(); ++at) {
        auto& r = records[at];
        if (!isLive(r)) continue;
        if constexpr (std::is_same_v<decltype(visit(r)), bool>) {
            if (!visit(r)) return;
        } else {
            visit(r);
        }
    }
}

// Compacts the containers in which dead records outnumber live ones; called
// when the outermost walk ends. Compacting only then, and only past that
// share, keeps an action that rejects many objects one by one linear.
void compactRegistry() noexcept;

// Holds `walking` up for a scope; the outermost one compacts on its way out.
struct WalkGuard {
    WalkGuard() { ++registry().walking; }
    ~WalkGuard() {
        if (--registry().walking == 0) compactRegistry();
    }
    WalkGuard(const WalkGuard&) = delete;
    WalkGuard& operator=(const WalkGuard&) = delete;
};

// The last step of every way out: the record `r` of `records` is dead where
// it stands, and its object free to register again.
template <typename Container>
void leave(Container& records, MotionRecord& r) {
    MotionRegistry& reg = registry();
    // The slot may already name a newer record of the same object (one
    // registered from an event after its group had gone): that one stays.
    if (auto slot = reg.slots.find(r.object);
        slot != reg.slots.end() && slot->second < records.size() && &records[slot->second] == &r)
        reg.slots.erase(slot);
    r.object = nullptr;
    ++reg.dead[kindOf<Container>()];
}

// ---- 3. Operations -------------------------------------------------------------

// The group name of a registration: the parameter, or the object's own name.
std::u16string chooseGroupName(const headerObject& object, const std::u16string& name);

// Registers `object` into `groupName` with the record built so far (its kind
// fields; the common ones are filled here), and marks the object's alterable
// values A (the action loop index) and B (the kind index). Answers false,
// changing nothing, for an object already registered or when no unique ID is
// left for a new group. Waking the pass is the caller's.
//
// A Null record has only the common fields; with `destroyAfter` >= 1 its
// rejection timer runs from the start and destroys the object at its end.
bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, int32_t destroyAfter);
bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, WrapFlipRecord record);
bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, SineWaveRecord record);
bool registerObject(RUNDATA& rd, headerObject& object, const std::u16string& groupName, OrbitalRecord record);

// Group accounting for a record that leaves: its kind's counter goes down,
// and an emptied group is removed (its ID back in the queue) before
// condition 9 is raised for it.
void removeFromGroup(RUNDATA& rd, uint8_t groupId, uint8_t kindIndex);

// The three rejections. Each answers whether the motion pass must be woken.
bool rejectAll(RUNDATA& rd, int32_t frames, bool destroy);
bool rejectByName(RUNDATA& rd, const std::u16string& groupName, int32_t frames, bool destroy);
bool rejectDirect(RUNDATA& rd, headerObject& object, int32_t frames, bool destroy);

// Live records of a MotionKind; the sum of all for 0 and any other number.
int32_t countRegistered(int32_t motionKind);

MotionGroup* findGroupByName(const std::u16string& name);
MotionGroup* findGroupById(uint8_t groupId);

// The calling action asks the host for per-frame calls from the next frame on.
void wakeMotionPass(RUNDATA& rd);

// Registration and rejection refuse to run while the containers are walked
// (from events raised by the pass or by an immediate rejection); the refusal
// box is always shown. Answers true when the caller must stop.
bool refusedWhileWalking(RUNDATA& rd);

}  // namespace trivu
