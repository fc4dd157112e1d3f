// What laying out a row costs per action: the first call parses two texts
// (the row's values and the number), every call places one instance.
#include <benchmark/benchmark.h>

#include <vector>

#include "fake_host.h"

namespace {

// A score of `count` digit sprites, laid out by action 14 as the host's
// action loop calls it.
void BM_ScoreRow(benchmark::State& state) {
    test::RecordingDesktop desktop;
    test::Instance instance;
    std::vector<test::Sprite> digits(static_cast<size_t>(state.range(0)));
    for (auto& d : digits) d.object.roHo.hoImgWidth = 16;
    for (auto _ : state) {
        for (size_t k = 0; k < digits.size(); ++k) {
            instance.runHeader.rh2.rh2ActionLoopCount = static_cast<int32_t>(k);
            if (k == 0)
                instance.action(14, {digits[k].header(), u"200, 16, 2, true", u"001250"});
            else
                instance.action(14, {digits[k].header()});
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ScoreRow)->Arg(6)->Arg(100);
