// The motion pass against a plain loop that does the same arithmetic and the
// same stores over an array of the same records, from 1,000 to 1,000,000
// records. Items are records, so the rate reads as records per second and
// its inverse as the cost per record and frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <deque>

#include "fake_host.h"
#include "objctrl/engine.h"

using namespace trivu;

namespace {

intptr_t WINAPI noRedraw(headerObject*, uintptr_t, intptr_t) { return 0; }

// A frame of `n` Active objects and an instance whose host redraws nothing.
struct Scene {
    explicit Scene(int64_t n) {
        registry() = MotionRegistry{};
        instance.runHeader.rh4.rh4KpxFunctions[RFUNCTION_REDRAW] = noRedraw;
        objects.resize(static_cast<size_t>(n));
        for (RunObject& o : objects) o.roHo.hoAdRunHeader = &instance.runHeader;  // the frame's header
        registry().groups.push_back(MotionGroup{u"bench", 0, {}});
    }
    ~Scene() { registry() = MotionRegistry{}; }
    test::RecordingDesktop desktop;
    test::Instance instance;
    std::vector<RunObject> objects;
};

// Wide walls: the records move and never meet one, so no event is raised.
// A mixed scene alternates axes and wall rules from record to record; a
// uniform one is a row of horizontal wraps, as one action registers them.
WrapFlipRecord wrapRecord(RunObject& object, size_t i, bool mixed) {
    WrapFlipRecord r;
    r.object = &object.roHo;
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


// The pass over `records` made by `make`, one record per object.
template <typename Record, typename Make>
void pass(benchmark::State& state, std::vector<Record>& records, uint8_t kindIndex, Make make) {
    Scene scene(state.range(0));
    for (size_t i = 0; i < scene.objects.size(); ++i) records.push_back(make(scene.objects[i], i));
    registry().groups[0].count[kindIndex] = static_cast<uint32_t>(records.size());
    RUNDATA& rd = scene.instance.rd();
    for (auto _ : state) {
        rd.handleEnabled = true;
        rd.inHandler = true;
        benchmark::DoNotOptimize(runMotionPass(rd));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WrapFlipPass(benchmark::State& state) {
    const bool mixed = state.range(1) != 0;
    pass(state, registry().wrapFlips, INDEX_WRAPFLIP, [mixed](RunObject& o, size_t i) { return wrapRecord(o, i, mixed); });
}

// A plain loop over an array of `records` made like the pass's, doing
// `body(record, redraw)` for each whose object the game has not destroyed
// (a test the pass makes for every record; with the host's object layout its
// flags word can lie on another cache line than the position).
template <typename Record, typename Make, typename Body>
void plainLoop(benchmark::State& state, Make make, Body body) {
    Scene scene(state.range(0));
    std::vector<Record> records;
    for (size_t i = 0; i < scene.objects.size(); ++i) records.push_back(make(scene.objects[i], i));
    RunFunction redraw = scene.instance.runHeader.rh4.rh4KpxFunctions[RFUNCTION_REDRAW];
    for (auto _ : state) {
        for (Record& r : records)
            if ((r.object->hoFlags & HOF_DESTROYED) == 0) body(r, redraw);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void store(WrapFlipRecord& r) {
    RunObject& o = *reinterpret_cast<RunObject*>(r.object);
    o.roHo.hoX = static_cast<int32_t>(r.x);
    o.roHo.hoY = static_cast<int32_t>(r.y);
    o.roc.rcChanged = 1;
}

// The same steps written as one loop: the stop and timer tests, the axis
// move with both wall rules, the truncating stores, the changed flag and the
// redraw request through the host's table.
template <bool Redraw>
void plainWrapFlipLoop(benchmark::State& state) {
    const bool mixed = state.range(1) != 0;
    auto make = [mixed](RunObject& o, size_t i) { return wrapRecord(o, i, mixed); };
    plainLoop<WrapFlipRecord>(state, make, [](WrapFlipRecord& r, RunFunction redraw) {
        if (r.sleep.stopped || r.sleep.repetitions != 0 || r.rejectArmed) return;
        double& p = r.horizontal ? r.x : r.y;
        double& v = r.horizontal ? r.velocityX : r.velocityY;
        const double n = p + v;
        if (v >= 0 ? n <= r.wallB : n >= r.wallA)
            p = n;
        else if (r.wrap)
            p = v >= 0 ? n - r.wallB + r.wallA : r.wallB - (r.wallA - n);
        else
            v = -v;
        store(r);
        if constexpr (Redraw) redraw(r.object, 0, 0);
    });
}

void BM_WrapFlipPlainLoop(benchmark::State& state) { plainWrapFlipLoop<true>(state); }
void BM_WrapFlipPlainLoopNoRedraw(benchmark::State& state) { plainWrapFlipLoop<false>(state); }

SineWaveRecord waveRecord(RunObject& object, size_t i) {
    SineWaveRecord r;
    static_cast<WrapFlipRecord&>(r) = wrapRecord(object, i, false);
    r.kindIndex = INDEX_SINEWAVE;
    r.baseLine = r.y;
    r.amplitude = 40;
    r.omega = 1.2;
    r.angle = static_cast<double>(i % 360);
    return r;
}

OrbitalRecord orbitRecord(RunObject& object, size_t i) {
    OrbitalRecord r;
    r.object = &object.roHo;
    r.kindIndex = INDEX_ORBITAL;
    r.radiusX = 50;
    r.radiusY = 30;
    r.omega = 1.5;
    r.centreX = static_cast<double>(i % 640);
    r.centreY = static_cast<double>(i % 480);
    r.angle = static_cast<double>(i % 360);
    return r;
}


void BM_SineWavePass(benchmark::State& state) { pass(state, registry().sineWaves, INDEX_SINEWAVE, waveRecord); }
void BM_OrbitalPass(benchmark::State& state) { pass(state, registry().orbitals, INDEX_ORBITAL, orbitRecord); }

// The wave's steps as one loop: one sine, the axis move, the swing across
// it, the angle fold, the stores and the redraw request.
void BM_SineWavePlainLoop(benchmark::State& state) {
    plainLoop<SineWaveRecord>(state, waveRecord, [](SineWaveRecord& r, RunFunction redraw) {
        if (r.sleep.stopped || r.sleep.repetitions != 0 || r.rejectArmed) return;
        const double wave = r.baseLine + r.amplitude * std::sin(r.angle * kRadiansPerDegree);
        double& p = r.horizontal ? r.x : r.y;
        const double n = p + (r.horizontal ? r.velocityX : r.velocityY);
        if (n <= r.wallB && n >= r.wallA) {
            p = n;
            (r.horizontal ? r.y : r.x) = wave;
        }
        r.angle += r.omega;
        if (std::fabs(r.angle) > 360) r.angle = std::fabs(r.angle) - 360;
        store(r);
        redraw(r.object, 0, 0);
    });
}

// The orbit's steps as one loop: the angle step and fold, one sine and one
// cosine, the stores and the redraw request.
void BM_OrbitalPlainLoop(benchmark::State& state) {
    plainLoop<OrbitalRecord>(state, orbitRecord, [](OrbitalRecord& r, RunFunction redraw) {
        if (r.sleep.stopped || r.sleep.repetitions != 0 || r.rejectArmed) return;
        r.angle += r.omega;
        if (r.angle < 0) r.angle += 360;
        if (std::fabs(r.angle) >= 360) r.angle = std::fmod(r.angle, 360.0);
        const double a = (270 - r.angle) * kRadiansPerDegree;
        RunObject& o = *reinterpret_cast<RunObject*>(r.object);
        o.roHo.hoX = static_cast<int32_t>(r.centreX - r.radiusX * std::sin(a));
        o.roHo.hoY = static_cast<int32_t>(r.centreY + r.radiusY * std::cos(a));
        o.roc.rcChanged = 1;
        redraw(r.object, 0, 0);
    });
}

void BM_NullPass(benchmark::State& state) {
    Scene scene(state.range(0));
    for (RunObject& o : scene.objects) registry().nulls.push_back(MotionRecord{&o.roHo});
    registry().groups[0].count[INDEX_NULL] = static_cast<uint32_t>(scene.objects.size());
    RUNDATA& rd = scene.instance.rd();
    for (auto _ : state) {
        rd.handleEnabled = true;
        benchmark::DoNotOptimize(runMotionPass(rd));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Records whose reject timers run out in the same frame, as after a
// rejection of everything with a delay: every record (1) or every other one
// (2) leaves in one pass. The cost per record must not grow with the count.
void BM_MassExpiry(benchmark::State& state) {
    Scene scene(state.range(0));
    const size_t every = static_cast<size_t>(state.range(1));
    RUNDATA& rd = scene.instance.rd();
    for (auto _ : state) {
        state.PauseTiming();
        registry().wrapFlips.clear();
        for (size_t i = 0; i < scene.objects.size(); ++i) {
            WrapFlipRecord r = wrapRecord(scene.objects[i], i, false);
            r.rejectArmed = i % every == 0;
            registry().wrapFlips.push_back(r);
        }
        registry().groups[0].count[INDEX_WRAPFLIP] = static_cast<uint32_t>(scene.objects.size()) + 1;
        state.ResumeTiming();
        rd.handleEnabled = true;
        rd.inHandler = true;
        benchmark::DoNotOptimize(runMotionPass(rd));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// `n` selected Active objects, and the registration action the host runs
// once per object, the loop index counting.
struct Selection {
    explicit Selection(int64_t n) : scene(0) {
        for (int64_t i = 0; i < n; ++i) sprites.emplace_back(OBJ_SPR, static_cast<int16_t>(i % 30000), 0, 0);
    }
    void registerAll() {
        int32_t loop = 0;
        for (test::Sprite& s : sprites) {
            scene.instance.runHeader.rh2.rh2ActionLoopCount = loop++;
            scene.instance.action(27, {s.header(), u"row", u"+1, true, 0, 640"});
        }
    }
    Scene scene;
    std::deque<test::Sprite> sprites;
};

// Items are objects.
void BM_RegisterSelection(benchmark::State& state) {
    Selection selection(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        registry() = MotionRegistry{};
        state.ResumeTiming();
        selection.registerAll();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One direct rejection action over every registered object: each call goes
// to its record through the index and marks it dead, and the array is
// compacted only when dead records outnumber live ones, so the cost per
// object stays flat (within a few times a registration's).
void BM_RejectSelectionDirect(benchmark::State& state) {
    Selection selection(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        registry() = MotionRegistry{};
        selection.registerAll();
        state.ResumeTiming();
        for (test::Sprite& s : selection.sprites) selection.scene.instance.action(25, {s.header(), 0});
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
BENCHMARK(BM_SineWavePass)->RangeMultiplier(10)->Range(1000, 1000000);
BENCHMARK(BM_SineWavePlainLoop)->RangeMultiplier(10)->Range(1000, 1000000);
BENCHMARK(BM_OrbitalPass)->RangeMultiplier(10)->Range(1000, 1000000);
BENCHMARK(BM_OrbitalPlainLoop)->RangeMultiplier(10)->Range(1000, 1000000);
BENCHMARK(BM_NullPass)->RangeMultiplier(10)->Range(1000, 1000000);
BENCHMARK(BM_RegisterSelection)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RejectSelectionDirect)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MassExpiry)->ArgsProduct({{1000, 10000, 100000}, {1, 2}});
