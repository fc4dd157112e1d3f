#include "objctrl/registry.h"

#include <mutex>

namespace trivu {
namespace {

MotionRegistry state;
std::once_flag initialised;

void refillFreeIds(std::deque<uint8_t>& ids) {
    ids.clear();
    for (int id = 0; id < UNIQUE_ID_COUNT; ++id) ids.push_back(static_cast<uint8_t>(id));
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

bool runMotionPass(RUNDATA& rd) {
    // The per-kind passes (null timers, wrap/flip, sine wave, orbital) come
    // with the motion engine; nothing can be registered before it exists.
    rd.inHandler = false;
    if (state.groups.empty()) rd.handleEnabled = false;
    return !rd.handleEnabled;
}

}  // namespace trivu
