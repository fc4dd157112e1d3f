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
//                                                results, the alignment state,
//                                                the motion registry
// Each subsystem reaches its piece through its own accessor (jsonSlots,
// jsonWork, regexState, alignState, registry, debugText), defined here.
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

struct SharedWork {
    JsonWork json;
    RegexState regex;
    AlignState align;
    MotionRegistry motion;

    bool operator==(const SharedWork&) const = default;
};

SubsystemLife& subsystemLife();
SharedWork& sharedWork();

// The destruction of any instance: every instance starts over, the storage
// given back; objects and documents are left alone.
void resetSharedWork();

}  // namespace trivu
