// Fuzz targets: each takes one input of arbitrary bytes and drives the
// library through the routines the host calls (the exports and the jump
// tables, on the fake host of the unit tests). A broken promise (a result the
// host must never see) ends the process through fuzz::violated, so that the
// fuzzer keeps the input; the sanitizers catch the rest.
//
// The same functions serve the libFuzzer programs (fuzz_main.cpp) and the
// corpus replay of the ordinary test build (replay_test.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace fuzz {

using Entry = int (*)(const uint8_t* data, size_t size);

struct Target {
    const char* name;  // also the folder of its corpus under tests/fuzz/corpus
    Entry run;
};

int params(const uint8_t* data, size_t size);
int editRecord(const uint8_t* data, size_t size);
int scenario(const uint8_t* data, size_t size);
int jsonLoad(const uint8_t* data, size_t size);
int jsonOps(const uint8_t* data, size_t size);
int regex(const uint8_t* data, size_t size);
int motion(const uint8_t* data, size_t size);

// Every target, for the replay; ends with a null entry.
extern const Target kTargets[];

// Reports `what` on stderr and aborts.
[[noreturn]] void violated(const char* what);

// The host's texts from bytes: each byte is one code unit, except that 0xFF
// takes the next two bytes (low first) as one unit, so that inputs stay
// readable while any UTF-16 unit stays reachable. Stops at `stop`, and
// advances `at` past it.
std::u16string takeText(const uint8_t* data, size_t size, size_t& at, int stop = -1);

// Reads the arguments of a byte-coded sequence; past the end every byte is 0.
// The texts it hands out stay valid until clear().
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    int32_t number() { return static_cast<int8_t>(byte()); }
    // A number, or after the byte 0x7F the four bytes that follow (little
    // endian), so that counts and indexes reach the whole 32-bit range.
    int32_t wideNumber() {
        if (at_ >= size_ || data_[at_] != 0x7F) return number();
        ++at_;
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(byte()) << shift;
        return static_cast<int32_t>(value);
    }
    const char16_t* text() { return texts_.emplace_back(takeText(data_, size_, at_, 0)).c_str(); }
    void clear() { texts_.clear(); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    std::deque<std::u16string> texts_;  // a deque: handing out one more moves none
};

// A folder of this process's own for the files the targets write; removed
// when the process ends.
const std::string& scratch();
// A path in it, as the host's text.
std::u16string scratchPath(const char* name);

}  // namespace fuzz
