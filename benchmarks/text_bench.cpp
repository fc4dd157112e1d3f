// The text conversions every JSON text, pointer and message goes through:
// mixed-script text of 64 KiB each way, and the same bytes with invalid
// sequences sprinkled in (the replacement path).
#include <benchmark/benchmark.h>

#include <string>

#include "platform/utf.h"

using namespace trivu::platform;

namespace {

std::string mixedUtf8(bool withFaults) {
    std::string piece = "JSON text, \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E, caf\xC3\xA9 \xF0\x9F\x98\x80 ";
    if (withFaults) piece += "\xE6\x97x\xFF";
    std::string out;
    while (out.size() < (64u << 10)) out += piece;
    return out;
}

void BM_Utf8ToUtf16(benchmark::State& state) {
    const std::string text = mixedUtf8(state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(utf8ToUtf16(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_Utf16ToUtf8(benchmark::State& state) {
    const std::u16string text = utf8ToUtf16(mixedUtf8(false));
    for (auto _ : state) benchmark::DoNotOptimize(utf16ToUtf8(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}

}  // namespace

BENCHMARK(BM_Utf8ToUtf16)->Arg(0)->Arg(1);
BENCHMARK(BM_Utf16ToUtf8);
