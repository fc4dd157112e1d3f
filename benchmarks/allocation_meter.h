// Bytes the program holds from operator new, and the most it held since the
// last reset: the benchmark program replaces the global operator new and
// delete to count them (glibc's malloc_usable_size gives a block's size back).
#pragma once

#include <cstddef>

namespace meter {

size_t liveBytes();
size_t peakBytes();
// From now on, the peak counts from what is held now.
void resetPeak();

}  // namespace meter
