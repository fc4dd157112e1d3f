// The MotionRegistry: every registered object of every motion group, shared
// by all TRIVU instances of the process.
//
// Records live by value in one container per kind, visited in the order
// Null, WrapFlip, SineWave, Orbital, Movetoward, each front to back.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "host/rundata.h"

namespace trivu {

// MotionKind numbers; a record stores its kind minus one.
enum MotionKind : int { KIND_TOTAL = 0, KIND_NULL = 1, KIND_WRAPFLIP, KIND_SINEWAVE, KIND_ORBITAL, KIND_MOVETOWARD };
inline constexpr int KIND_INDEX_COUNT = 5;

// Fields every record starts with.
struct MotionRecord {
    headerObject* object = nullptr;
    uint8_t groupId = 0;
    uint8_t kindIndex = 0;
    bool rejectArmed = false;
    int32_t rejectCountdown = 0;
    bool destroyOnReject = false;
};

struct MotionGroup {
    std::u16string name;
    uint8_t groupId = 0;
    std::array<uint8_t, KIND_INDEX_COUNT> count{};  // records per kind index
};

struct MotionRegistry {
    std::deque<MotionRecord> nulls;
    // The moving kinds' own fields follow the common ones; they come with
    // the motion engine, which is not built yet.
    std::vector<MotionRecord> wrapFlips;
    std::vector<MotionRecord> sineWaves;
    std::vector<MotionRecord> orbitals;
    std::vector<MotionRecord> moveTowards;

    std::vector<MotionGroup> groups;  // in creation order
    std::deque<uint8_t> freeIds;      // unique IDs 0..254, first in first out
    bool pendingNullTimer = false;
    int32_t pendingNullFrames = 0;
    std::u16string lastRejectedGroup;
};

inline constexpr int UNIQUE_ID_COUNT = 255;

MotionRegistry& registry();

// Fills the free-ID queue, once per process.
void ensureInitialised();
// Every record and group goes, the queue is refilled; objects are left alone.
void resetRegistry();

// The per-frame pass, called by HandleRunObject with inHandler set. Answers
// true when the instance needs no further per-frame calls.
bool runMotionPass(RUNDATA& rd);

}  // namespace trivu
