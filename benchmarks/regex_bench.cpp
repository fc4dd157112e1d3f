// What a regular-expression condition or replacement costs on a typical
// 100-character game text: with its pattern kept compiled from an earlier
// call (the usual case: a game asks the same few every frame), with a pattern
// that is new each time, and the compilation alone. The standard library's
// engine doing the same work, compiling at every call, runs beside each one.
#include <benchmark/benchmark.h>

#include <regex>

#include "allocation_meter.h"
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

// The game's texts are of the Basic Multilingual Plane: a unit a wchar_t.
std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string narrow(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

std::wregex standardPattern(const char16_t* pattern) { return std::wregex(wide(pattern), std::regex::ECMAScript); }

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

// A pattern the extension has not kept: `pattern` with an alternative that
// never matches, numbered past the count of kept patterns.
class FreshPatterns {
public:
    explicit FreshPatterns(const char16_t* pattern) : pattern_(pattern) {}
    const std::u16string& next() {
        text_ = pattern_;
        text_ += u"|\\Q";  // "|\Q<n>@@\E": a literal the game text never holds
        for (char c : std::to_string(count_++ % 1000)) text_ += static_cast<char16_t>(c);
        text_ += u"@@\\E";
        return text_;
    }

private:
    std::u16string pattern_, text_;
    unsigned count_ = 0;
};

void BM_PartialMatchNewPattern(benchmark::State& state) {
    test::Instance instance;
    FreshPatterns patterns(kPartialPattern);
    for (auto _ : state) benchmark::DoNotOptimize(instance.condition(1, {kText, patterns.next().c_str(), 1}));
}

void BM_ExactMatchNewPattern(benchmark::State& state) {
    test::Instance instance;
    FreshPatterns patterns(kExactPattern);
    for (auto _ : state) benchmark::DoNotOptimize(instance.condition(5, {kText, patterns.next().c_str(), 1}));
}

void BM_ReplaceNewPattern(benchmark::State& state) {
    test::Instance instance(1, 0, 0, 0, kText);
    FreshPatterns patterns(kReplacePattern);
    for (auto _ : state) benchmark::DoNotOptimize(instance.expression(2, {patterns.next().c_str(), kReplacement}));
}

// ---- The standard library's engine doing the same work ---------------------------

void BM_PartialMatchStd(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring subject = wide(kText);
        std::wregex re = standardPattern(kPartialPattern);
        std::vector<std::u16string> found;
        for (std::wsregex_iterator it(subject.begin(), subject.end(), re), end; it != end; ++it)
            found.push_back(narrow((*it)[0].str()));
        benchmark::DoNotOptimize(found);
    }
}

void BM_ExactMatchStd(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring subject = wide(kText);
        std::wregex re = standardPattern(kExactPattern);
        std::wsmatch match;
        std::vector<std::u16string> groups;
        if (std::regex_match(subject, match, re))
            for (const auto& group : match) groups.push_back(narrow(group.str()));
        benchmark::DoNotOptimize(groups);
    }
}

void BM_ReplaceStd(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring subject = wide(kText);
        std::wregex re = standardPattern(kReplacePattern);
        benchmark::DoNotOptimize(narrow(std::regex_replace(subject, re, wide(kReplacement))));
    }
}

// ---- Compilation alone ---------------------------------------------------------

void BM_Compile(benchmark::State& state, const char16_t* pattern) {
    FreshPatterns patterns(pattern);
    for (auto _ : state) benchmark::DoNotOptimize(compilePattern(patterns.next(), false));
}

void BM_CompileStd(benchmark::State& state, const char16_t* pattern) {
    for (auto _ : state) benchmark::DoNotOptimize(standardPattern(pattern));
}

// ---- Long subjects and runaway patterns (the standard library's engine
// overflows the stack or never returns on these, so it has no case) ----------

// `length` characters of "a", or of `unit` repeated. Counts the searches
// that end in the engine's error, and the most the searches held at once.
void BM_Search(benchmark::State& state, const char16_t* pattern, size_t length, std::u16string_view unit = u"a") {
    std::u16string subject;
    while (subject.size() < length) subject += unit;
    subject.resize(length);
    EngineRegex re = compilePattern(pattern, false);
    int64_t errors = 0;
    meter::resetPeak();
    const size_t before = meter::liveBytes();
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(searchAll(re, subject));
        } catch (const EngineError&) {
            ++errors;
        }
    }
    state.counters["errors"] = static_cast<double>(errors) / static_cast<double>(state.iterations());
    state.counters["peak_MiB"] = static_cast<double>(meter::peakBytes() - before) / (1 << 20);
}

}  // namespace

BENCHMARK(BM_PartialMatch);
BENCHMARK(BM_PartialMatchNewPattern);
BENCHMARK(BM_PartialMatchStd);
BENCHMARK_CAPTURE(BM_Compile, partial, kPartialPattern);
BENCHMARK_CAPTURE(BM_CompileStd, partial, kPartialPattern);
BENCHMARK(BM_ExactMatch);
BENCHMARK(BM_ExactMatchNewPattern);
BENCHMARK(BM_ExactMatchStd);
BENCHMARK_CAPTURE(BM_Compile, exact, kExactPattern);
BENCHMARK_CAPTURE(BM_CompileStd, exact, kExactPattern);
BENCHMARK(BM_Replace);
BENCHMARK(BM_ReplaceNewPattern);
BENCHMARK(BM_ReplaceStd);
BENCHMARK_CAPTURE(BM_Compile, replace, kReplacePattern);
BENCHMARK_CAPTURE(BM_CompileStd, replace, kReplacePattern);
BENCHMARK_CAPTURE(BM_Search, dotStar_1MiB, u".*", 1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, letters_1MiB, u"[a-z]+", 1 << 20, u"lorem ipsum dolor sit amet ")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, csvLines_1MiB, u"[^,]*(,[^,]*)*", 1 << 20, u"12,apple,3.5,yes\n")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, prose_1MiB, u"^(\\w+\\s?)*$", 1 << 20, u"lorem ipsum dolor sit amet ")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, alternationStar_256KiB, u"(a|b)*", 1 << 18)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, alternationStar_1MiB, u"(a|b)*", 1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, catastrophic_40, u"(a+)+b", 40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, catastrophic_4KiB, u"(a+)+b", 1 << 12)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, catastrophic_64KiB, u"(a+)+b", 1 << 16)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, catastrophic_1MiB, u"(a+)+b", 1 << 20)->Unit(benchmark::kMillisecond);
