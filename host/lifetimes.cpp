#include "host/lifetimes.h"

#include <utility>

#include "objctrl/debug_text.h"

namespace trivu {
namespace {
SubsystemLife life;
SharedWork work;
}  // namespace

SharedWork& sharedWork() { return work; }

// Moved out and destroyed, so that strings and lists give their storage back
// (an assignment would keep the old buffers).
void resetSharedWork() { std::exchange(work, SharedWork()); }

JsonSlots& jsonSlots() { return life.json; }
std::u16string& debugText() { return life.debugText; }

JsonWork& jsonWork() { return work.json; }
RegexState& regexState() { return work.regex; }
AlignState& alignState() { return work.loop.align; }
InstanceRecords& instanceRecords() { return work.loop.records; }
MotionRegistry& registry() { return work.motion; }

}  // namespace trivu
