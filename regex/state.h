// RegexState: the results of the last matches, shared by every instance.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trivu {

struct RegexState {
    int32_t mismatchId = -1;                   // ID of the last partial or exact match
    std::vector<std::u16string> searchMatches;  // last partial match: every whole match
    std::vector<std::u16string> exactMatches;   // last exact match: sub-match 0 and the groups
    std::u16string resultText;                  // last replacement, or last error message

    bool operator==(const RegexState&) const = default;
};

RegexState& regexState();  // kept in host/lifetimes.h

}  // namespace trivu
