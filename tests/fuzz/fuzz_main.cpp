// The libFuzzer entry of one target; TRIVU_FUZZ_TARGET names its function.
#include "tests/fuzz/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::TRIVU_FUZZ_TARGET(data, size);
}
