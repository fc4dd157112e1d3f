// The motion pass against a plain loop that does the same arithmetic and the
// same stores over an array of the same records, from 1,000 to 1,000,000
// records. Items are records, so the rate reads as records per second and
// its inverse as the cost per record and frame.
#include <benchmark/benchmark.h>

#include <deque>

#include "fake_host.h"
#include "objctrl/engine.h"

using namespace trivu;

namespace {

intptr_t WINAPI noRedraw(headerObject*, uint32_t, intptr_t) { return 0; }

// A frame of `n` Active objects and an instance whose host redraws nothing.
struct Scene {
    explicit Scene(int64_t n) {
        ensureInitialised();
        resetRegistry();
        instance.runHeader.rh4KpxFunctions[RFUNCTION_REDRAW] = noRedraw;
        objects.resize(static_cast<size_t>(n));
        registry().groups.push_back(MotionGroup{u"bench", 0, {}});
    }
    ~Scene() { resetRegistry(); }
    test::RecordingDesktop desktop;
    test::Instance instance;
    std::vector<RunObject> objects;
};

// Wide walls: the records move and never meet one, so no event is raised.
// A mixed scene alternates axes and wall rules from record to record; a
// uniform one is a row of horizontal wraps, as one action registers them.
WrapFlipRecord wrapRecord(RunObject& object, size_t i, bool mixed) {
    WrapFlipRecord r;
    r.object = &object.rHo;
    r.kindIndex = INDEX_WRAPFLIP;
    r.x = static_cast<double>(i % 640);
    r.y = static_cast<double>(i % 480);
    r.wrap = !mixed || i % 2 == 0;
    r.horizontal = !mixed || i % 3 != 0;
    (r.horizontal ? r.velocityX : r.velocityY) = 0.5 + static_cast<double>(i % 7) * 0.25;
    r.wallA = -1 << 30;
    r.wallB = 1 << 30;
    return r;
}

void BM_WrapFlipPass(benchmark::State& state) {
    Scene scene(state.range(0));
    auto& records = registry().wrapFlips;
    for (size_t i = 0; i < scene.objects.size(); ++i) records.push_back(wrapRecord(scene.objects[i], i, state.range(1) != 0));
    registry().groups[0].count[INDEX_WRAPFLIP] = static_cast<uint32_t>(records.size());
    RUNDATA& rd = scene.instance.rd();
    for (auto _ : state) {
        rd.handleEnabled = true;
        rd.inHandler = true;
        benchmark::DoNotOptimize(runMotionPass(rd));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same steps written as one loop: the stop and timer tests, the axis
// move with both wall rules, the truncating stores, the changed flag and the
// redraw request through the host's table.
template <bool Redraw>
void plainWrapFlipLoop(benchmark::State& state) {
    Scene scene(state.range(0));
    std::vector<WrapFlipRecord> records;
    for (size_t i = 0; i < scene.objects.size(); ++i) records.push_back(wrapRecord(scene.objects[i], i, state.range(1) != 0));
    RunFunction redraw = scene.instance.runHeader.rh4KpxFunctions[RFUNCTION_REDRAW];
    for (auto _ : state) {
        for (WrapFlipRecord& r : records) {
            if (r.sleep.stopped || r.sleep.repetitions != 0 || r.rejectArmed) continue;
            double& p = r.horizontal ? r.x : r.y;
            double& v = r.horizontal ? r.velocityX : r.velocityY;
            const double n = p + v;
            if (v >= 0 ? n <= r.wallB : n >= r.wallA)
                p = n;
            else if (r.wrap)
                p = v >= 0 ? n - r.wallB + r.wallA : r.wallB - (r.wallA - n);
            else
                v = -v;
            RunObject& o = *reinterpret_cast<RunObject*>(r.object);
            o.rHo.hoX = static_cast<int32_t>(r.x);
            o.rHo.hoY = static_cast<int32_t>(r.y);
            o.roc.rcChanged = 1;
            if constexpr (Redraw) redraw(r.object, 0, 0);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WrapFlipPlainLoop(benchmark::State& state) { plainWrapFlipLoop<true>(state); }
void BM_WrapFlipPlainLoopNoRedraw(benchmark::State& state) { plainWrapFlipLoop<false>(state); }

void BM_NullPass(benchmark::State& state) {
    Scene scene(state.range(0));
    for (RunObject& o : scene.objects) registry().nulls.push_back(MotionRecord{&o.rHo});
    registry().groups[0].count[INDEX_NULL] = static_cast<uint32_t>(scene.objects.size());
    RUNDATA& rd = scene.instance.rd();
    for (auto _ : state) {
        rd.handleEnabled = true;
        benchmark::DoNotOptimize(runMotionPass(rd));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

// Arguments: records, mixed (1) or uniform (0).
void sizes(benchmark::internal::Benchmark* b) {
    for (int mixed : {0, 1})
        for (int64_t n = 1000; n <= 1000000; n *= 10) b->Args({n, mixed});
}

BENCHMARK(BM_WrapFlipPass)->Apply(sizes);
BENCHMARK(BM_WrapFlipPlainLoop)->Apply(sizes);
BENCHMARK(BM_WrapFlipPlainLoopNoRedraw)->Apply(sizes);
BENCHMARK(BM_NullPass)->RangeMultiplier(10)->Range(1000, 1000000);
