#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "tests/fuzz/targets.h"

namespace fuzz {

const Target kTargets[] = {
    {"params", params},
    {"edit_record", editRecord},
    {"scenario", scenario},
    {"json_load", jsonLoad},
    {"json_ops", jsonOps},
    {"regex", regex},
    {"motion", motion},
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

const std::string& scratch() {
    // The name outlives every static object: the removal runs at exit.
    static char name[] = "/tmp/trivu-fuzz-XXXXXX";
    static const std::string folder = [] {
        if (mkdtemp(name) == nullptr) violated("no scratch folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(name, ignored);
        });
        return std::string(name);
    }();
    return folder;
}

std::u16string scratchPath(const char* name) {
    std::string path = scratch() + "/" + name;
    return std::u16string(path.begin(), path.end());  // the folder's name is ASCII
}

}  // namespace fuzz
