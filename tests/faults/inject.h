// Allocation failures on demand: this test program replaces the global
// operator new, and the replacement throws std::bad_alloc (or answers null,
// for the nothrow forms) on the N-th request the extension makes after
// arm(N). Requests made while the fake host runs (test::hostSide) are not
// counted, so that every failure is one the extension has to live with.
#pragma once

#include <cstdint>

namespace faults {

// Fails the n-th counted request from now; later requests succeed again.
void arm(uint64_t n);
// Stops counting; answers the number of requests counted since arm().
uint64_t disarm();
// Whether the armed failure has happened.
bool injected();
// How many requests the armed failure passed over because the JSON library's
// destructor made them (library_frames.cpp says why).
uint64_t passedOver();

// Whether the current request comes from inside that destructor.
bool insideLibraryDestructor();

}  // namespace faults
