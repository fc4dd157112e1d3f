// The platform layer's part of what lives as long as the library. The
// layers above keep their own parts (common/lifetime.h, host/lifetimes.h),
// since nothing down here may know their types.
#pragma once

#include <atomic>

#include "platform/desktop.h"

namespace trivu::platform {

struct PlatformLife {
    // The library's own module, whose resources it serves: set once by the
    // load routine (setModule), read by every resource call.
    std::atomic<HINSTANCE> module{nullptr};
    // The table attachDesktop was given, or none: every desktop call asks it
    // first.
    const TrivuDesktop* desktop = nullptr;
};

// Constant-initialised: nothing runs for it when the library loads. (The
// resource script that the Linux build carries as text is parsed at its
// first use and never changes after: embeddedResources.)
extern constinit PlatformLife platformLife;

}  // namespace trivu::platform
