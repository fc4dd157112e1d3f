// What a regular-expression condition or replacement costs on a typical
// 100-character game text. Every call compiles its pattern afresh, so each
// case is timed whole (compile and match) and its compilation alone; the
// standard library's engine doing the same work runs beside each one.
#include <benchmark/benchmark.h>

#include <regex>

#include "common/regex_engine.h"
#include "fake_host.h"
#include "regex/matching.h"

using namespace trivu;

namespace {

// 100 characters.
constexpr const char16_t* kText =
    u"player=Alice; score=12345; level=7; items=sword,shield,potion; pos=120,340; state=running; time=9042";
static_assert(std::char_traits<char16_t>::length(kText) == 100);

constexpr const char16_t* kPartialPattern = uR"(\w+=(\d+))";
constexpr const char16_t* kExactPattern = uR"(player=(\w+); score=(\d+); level=(\d+); (.*))";
constexpr const char16_t* kReplacePattern = uR"((\w+)=(\d+))";
constexpr const char16_t* kReplacement = u"$1:<$2>";

std::wregex standardPattern(const char16_t* pattern) {
    return std::wregex(toEngineText(pattern), std::regex::ECMAScript);
}

// ---- Through the extension's routines -----------------------------------------

void BM_PartialMatch(benchmark::State& state) {
    test::Instance instance;
    for (auto _ : state) benchmark::DoNotOptimize(instance.condition(1, {kText, kPartialPattern, 1}));
}

void BM_ExactMatch(benchmark::State& state) {
    test::Instance instance;
    for (auto _ : state) benchmark::DoNotOptimize(instance.condition(5, {kText, kExactPattern, 1}));
}

void BM_Replace(benchmark::State& state) {
    test::Instance instance(1, 0, 0, 0, kText);
    for (auto _ : state) benchmark::DoNotOptimize(instance.expression(2, {kReplacePattern, kReplacement}));
}

// ---- The standard library's engine doing the same work ---------------------------

void BM_PartialMatchStd(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring subject = toEngineText(kText);
        std::wregex re = standardPattern(kPartialPattern);
        std::vector<std::u16string> found;
        for (std::wsregex_iterator it(subject.begin(), subject.end(), re), end; it != end; ++it)
            found.push_back(fromEngineText((*it)[0].str()));
        benchmark::DoNotOptimize(found);
    }
}

void BM_ExactMatchStd(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring subject = toEngineText(kText);
        std::wregex re = standardPattern(kExactPattern);
        std::wsmatch match;
        std::vector<std::u16string> groups;
        if (std::regex_match(subject, match, re))
            for (const auto& group : match) groups.push_back(fromEngineText(group.str()));
        benchmark::DoNotOptimize(groups);
    }
}

void BM_ReplaceStd(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring subject = toEngineText(kText);
        std::wregex re = standardPattern(kReplacePattern);
        benchmark::DoNotOptimize(fromEngineText(std::regex_replace(subject, re, toEngineText(kReplacement))));
    }
}

// ---- Compilation alone ---------------------------------------------------------

void BM_Compile(benchmark::State& state, const char16_t* pattern) {
    for (auto _ : state) benchmark::DoNotOptimize(compilePattern(pattern, false));
}

void BM_CompileStd(benchmark::State& state, const char16_t* pattern) {
    for (auto _ : state) benchmark::DoNotOptimize(standardPattern(pattern));
}

// ---- Long subjects and runaway patterns (the standard library's engine
// overflows the stack or never returns on these, so it has no case) ----------

void BM_Search(benchmark::State& state, const char16_t* pattern, size_t length) {
    EngineText subject(length, L'a');
    EngineRegex re = compilePattern(pattern, false);
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(searchAll(re, subject));
        } catch (const EngineError&) {
        }
    }
}

}  // namespace

BENCHMARK(BM_PartialMatch);
BENCHMARK(BM_PartialMatchStd);
BENCHMARK_CAPTURE(BM_Compile, partial, kPartialPattern);
BENCHMARK_CAPTURE(BM_CompileStd, partial, kPartialPattern);
BENCHMARK(BM_ExactMatch);
BENCHMARK(BM_ExactMatchStd);
BENCHMARK_CAPTURE(BM_Compile, exact, kExactPattern);
BENCHMARK_CAPTURE(BM_CompileStd, exact, kExactPattern);
BENCHMARK(BM_Replace);
BENCHMARK(BM_ReplaceStd);
BENCHMARK_CAPTURE(BM_Compile, replace, kReplacePattern);
BENCHMARK_CAPTURE(BM_CompileStd, replace, kReplacePattern);
BENCHMARK_CAPTURE(BM_Search, dotStar_1MiB, u".*", 1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, alternationStar_1MiB_error, u"(a|b)*", 1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, catastrophic_40_error, u"(a+)+b", 40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, catastrophic_1MiB_error, u"(a+)+b", 1 << 20)->Unit(benchmark::kMillisecond);
