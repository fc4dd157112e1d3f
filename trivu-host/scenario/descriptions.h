// What the extension declares about its actions, conditions and expressions,
// as the scenario reader checks calls against it: which codes can be called,
// their flags and their parameters' kinds. play/library.h reads them from the
// loaded library's description tables.
#pragma once

#include <cstdint>
#include <vector>

namespace standin {

struct AceDescription {
    bool present = false;  // described, and the jump table has a routine
    uint16_t flags = 0;
    std::vector<uint16_t> kinds;  // parameter kinds, in catalogue order
};

struct AceDescriptions {
    std::vector<AceDescription> actions, conditions, expressions;
};

}  // namespace standin
