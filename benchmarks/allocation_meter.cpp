#include "allocation_meter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

size_t live = 0;
size_t peak = 0;

}  // namespace

namespace meter {

size_t liveBytes() { return live; }
size_t peakBytes() { return peak; }
void resetPeak() { peak = live; }

}  // namespace meter

// The benchmarks run on one thread. The nothrow and array forms of the
// library call these.
void* operator new(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    live += malloc_usable_size(block);
    if (live > peak) peak = live;
    return block;
}

void operator delete(void* block) noexcept {
    if (block == nullptr) return;
    live -= malloc_usable_size(block);
    std::free(block);
}

void operator delete(void* block, size_t) noexcept { operator delete(block); }
