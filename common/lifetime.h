// common/'s part of what lives as long as the library. The platform keeps
// its part below (platform/lifetime.h), the subsystems theirs above
// (host/lifetimes.h).
#pragma once

#include "common/regex_engine.h"

namespace trivu {

struct CommonLife {
    // The patterns compiled last, the most recently used last: filled and
    // read by compilePattern, for the parameter parser and regex/ alike.
    PatternCache patterns;
};

extern CommonLife commonLife;

}  // namespace trivu
