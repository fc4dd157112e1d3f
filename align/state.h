// Loop state of the alignment actions (7, 13, 14, 16, 17): the call for the
// first selected instance checks the parameters and starts the row, the
// later calls of the same action place along it.
#pragma once

#include <cstdint>
#include <string>

namespace trivu {

struct AlignState {
    bool ok = false;       // the first call's parameters were good
    int32_t runX = 0;      // running X offset of the current horizontal row
    int32_t runY = 0;      // running Y offset of the current vertical column
    std::u16string number;  // right-to-left number text, characters reversed

    bool operator==(const AlignState&) const = default;
};

AlignState& alignState();  // kept in host/lifetimes.h

}  // namespace trivu
