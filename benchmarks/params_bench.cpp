// What a designer's multi-value parameter and an ACE call cost: the parser
// compiles its pattern on every call, so it is the expensive part of the
// first run of a motion or alignment action.
#include <benchmark/benchmark.h>

#include "common/params.h"
#include "fake_host.h"

using namespace trivu;

namespace {

void parse(benchmark::State& state, const ParamFormat& format, const char16_t* text) {
    test::RecordingDesktop desktop;
    test::Instance instance;
    for (auto _ : state) benchmark::DoNotOptimize(MatchParams(instance.rd(), text, format));
}

void BM_ParseWrapFlip(benchmark::State& state) { parse(state, formats::wrapFlip, u"+1.0,  false , -40, 680"); }
void BM_ParseRowColumn(benchmark::State& state) { parse(state, formats::rowColumn, u"100, 150, +10 , true"); }
void BM_ParseOrbital(benchmark::State& state) {
    parse(state, formats::orbital, u"50,50, +1.0, false,0,72,0,0,false,30,-1,72");
}

// A long text of flags: the word replacement must stay linear in its length
// (a text of 200,000 "true," is refused, after one pass over it).
void BM_ParseLongFlagText(benchmark::State& state) {
    test::RecordingDesktop desktop;
    test::Instance instance;
    std::u16string text;
    for (int64_t i = 0; i < state.range(0); ++i) text += u"true,";
    for (auto _ : state) benchmark::DoNotOptimize(MatchParams(instance.rd(), text, formats::wrapFlip));
    state.SetComplexityN(state.range(0));
}

// A built action through its jump-table routine and the host's services.
void BM_SetTextAction(benchmark::State& state) {
    test::RecordingDesktop desktop;
    test::Instance instance;
    for (auto _ : state) instance.action(0, {u"a short text"});
}

// Description lookups walk the packed table from its start.
void BM_LastActionInfos(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(GetActionInfos(nullptr, 53));
}

}  // namespace

BENCHMARK(BM_ParseWrapFlip);
BENCHMARK(BM_ParseRowColumn);
BENCHMARK(BM_ParseOrbital);
BENCHMARK(BM_ParseLongFlagText)->RangeMultiplier(10)->Range(2000, 200000)->Complexity(benchmark::oN);
BENCHMARK(BM_SetTextAction);
BENCHMARK(BM_LastActionInfos);
BENCHMARK_MAIN();
