#include "tests/faults/inject.h"

#include <cstdlib>
#include <new>

#include "tests/unit/fake_host.h"

namespace faults {
namespace {

bool armed = false;
bool failed = false;
uint64_t counted = 0;
uint64_t failAt = 0;
uint64_t skipped = 0;

// True when this request is the one to fail.
bool failsNow() {
    if (!armed || failed || test::hostSide > 0) return false;
    if (++counted != failAt) return false;
    if (insideLibraryDestructor()) {
        ++failAt;
        ++skipped;
        return false;
    }
    failed = true;
    return true;
}

void* allocate(std::size_t size, bool nothrow) {
    if (failsNow()) {
        if (nothrow) return nullptr;
        throw std::bad_alloc();
    }
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr && !nothrow) throw std::bad_alloc();
    return p;
}

void* allocateAligned(std::size_t size, std::align_val_t align, bool nothrow) {
    if (failsNow()) {
        if (nothrow) return nullptr;
        throw std::bad_alloc();
    }
    auto alignment = static_cast<std::size_t>(align);
    std::size_t rounded = (size + alignment - 1) / alignment * alignment;
    void* p = std::aligned_alloc(alignment, rounded != 0 ? rounded : alignment);
    if (p == nullptr && !nothrow) throw std::bad_alloc();
    return p;
}

}  // namespace

void arm(uint64_t n) {
    armed = true;
    failed = false;
    counted = 0;
    failAt = n;
}

uint64_t passedOver() { return skipped; }

uint64_t disarm() {
    armed = false;
    return counted;
}

bool injected() { return failed; }

}  // namespace faults

void* operator new(std::size_t size) { return faults::allocate(size, false); }
void* operator new[](std::size_t size) { return faults::allocate(size, false); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return faults::allocate(size, true); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return faults::allocate(size, true); }
void* operator new(std::size_t size, std::align_val_t align) { return faults::allocateAligned(size, align, false); }
void* operator new[](std::size_t size, std::align_val_t align) { return faults::allocateAligned(size, align, false); }
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    return faults::allocateAligned(size, align, true);
}
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept {
    return faults::allocateAligned(size, align, true);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
