// No exception ever reaches the host: each entry point runs its body through
// guarded(), which answers `fallback` if the body throws (std::bad_alloc
// included). The failing operation then ends with its empty result and the
// game goes on.
#pragma once

#include <utility>

namespace trivu {

template <typename Result, typename Body>
Result guarded(Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

template <typename Body>
void guarded(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

}  // namespace trivu
