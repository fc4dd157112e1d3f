// What the library keeps from one call to the next, one record per lifetime.
//
// As long as the library lives (nothing resets it), in three parts, each in
// the layer whose types it holds:
//   platform::PlatformLife  platform/lifetime.h  the module, the attached desktop
//   CommonLife              common/lifetime.h    the compiled-pattern cache
//   SubsystemLife           here                 the shared and backup documents,
//                                                the debug text of expression 14
// Until any instance is destroyed, which resets it with one assignment:
//   SharedWork              here                 the JSON work state, the regex
//                                                results, the motion registry,
//                                                and the loop state
// Each subsystem reaches its piece through its own accessor (jsonSlots,
// jsonWork, instanceRecords, regexState, alignState, registry, debugText),
// defined here.
#pragma once

#include <string>

#include "align/state.h"
#include "json/store.h"
#include "objctrl/registry.h"
#include "regex/state.h"

namespace trivu {

struct SubsystemLife {
    JsonSlots json;            // handed from frame to frame, and the backup
    std::u16string debugText;  // expression 14's result: the host reads it after the call
};

// What the first selected instance of an action loop leaves for the later
// instances of the same action. Besides these: the moving registrations'
// group name (MotionRegistry::currentGroupName), and the values that the
// moving registrations and the sleep actions parsed, which ride in the
// instance's own floatParams and intParams (a registration appends its
// subKind, so that its later instances take only values of their kind).
struct LoopState {
    AlignState align;         // alignment actions 7, 13, 14, 16, 17 (align/state.h)
    InstanceRecords records;  // action 11: one record per instance (json/store.h)

    bool operator==(const LoopState&) const = default;
};

struct SharedWork {
    JsonWork json;
    RegexState regex;
    MotionRegistry motion;
    LoopState loop;

    bool operator==(const SharedWork&) const = default;
};

SharedWork& sharedWork();

// The destruction of any instance: every instance starts over, the storage
// given back; objects and documents are left alone.
void resetSharedWork();

}  // namespace trivu
