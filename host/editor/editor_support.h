// Helpers of the editor exports.
#pragma once

#include <string_view>

#include "sdk/editor.h"

namespace trivu {

// The editor runs the extension only from build 280 and major version 2 on.
inline bool hostCompatible(mv* mV) {
    if (mV == nullptr || mV->mvGetVersion == nullptr) return false;
    uint32_t version = mV->mvGetVersion();
    return (version & MMFBUILD_MASK) >= 280 && (version & MMFVERSION_MASK) >= MMFVERSION_20;
}

// Copies `text` into the host's buffer of `size` units, cut to fit, always
// terminated.
inline void copyToBuffer(std::u16string_view text, char16_t* buffer, int size) {
    if (buffer == nullptr || size <= 0) return;
    size_t n = text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
    for (size_t i = 0; i < n; ++i) buffer[i] = text[i];
    buffer[n] = 0;
}

}  // namespace trivu
