#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/targets.h"

namespace fuzz {

const Target kTargets[] = {
    {"params", params},
    {"edit_record", editRecord},
    {"scenario", scenario},
    {nullptr, nullptr},
};

void violated(const char* what) {
    std::fprintf(stderr, "fuzz: broken promise: %s\n", what);
    std::abort();
}

std::u16string takeText(const uint8_t* data, size_t size, size_t& at, int stop) {
    std::u16string text;
    while (at < size) {
        uint8_t byte = data[at++];
        if (byte == stop) break;
        if (byte == 0xFF && at + 2 <= size) {
            text.push_back(static_cast<char16_t>(data[at] | (data[at + 1] << 8)));
            at += 2;
        } else {
            text.push_back(byte);
        }
    }
    return text;
}

}  // namespace fuzz
