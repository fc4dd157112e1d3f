// What the JSON store costs a game: reading one element per frame must not
// pay for the rest of the document, and loading and saving a large file must
// run at the library's own speed.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "allocation_meter.h"
#include "fake_host.h"
#include "json/files.h"
#include "json/store.h"

using namespace trivu;

namespace {

// ---- Reading one element --------------------------------------------------------

// {"list": [0..999], "m0": 0, ..., "m<n-1>": n-1}, or with the list last,
// built by the loader (a member set by key would cost a lookup each).
Json documentWithMembers(int64_t others, bool listLast) {
    std::string text = "{";
    const std::string list = [] {
        std::string out = "\"list\":[";
        for (int i = 0; i < 1000; ++i) {
            if (i != 0) out += ',';
            out += std::to_string(i);
        }
        return out + "]";
    }();
    if (!listLast) text += list;
    for (int64_t i = 0; i < others; ++i) {
        if (i != 0 || !listLast) text += ',';
        text += "\"m";
        text += std::to_string(i);
        text += "\":";
        text += std::to_string(i);
    }
    if (listLast) {
        if (others != 0) text += ',';
        text += list;
    }
    text += '}';
    return parseJsonText(text);
}

void readElement(benchmark::State& state, bool listLast) {
    test::Instance instance;
    meter::resetPeak();
    const size_t before = meter::liveBytes();
    instance.rd().document = documentWithMembers(state.range(0), listLast);
    const double held = static_cast<double>(meter::liveBytes() - before);
    instance.rd().target = &instance.rd().document;
    instance.action(5, {u"/list", 0});  // WorkPointer addresses the list
    for (auto _ : state) benchmark::DoNotOptimize(instance.expression(3, {500}));
    // What the document holds per member, the list's 1,000 numbers aside.
    state.counters["bytes_per_member"] = (held - 1000.0 * sizeof(Json)) / static_cast<double>(state.range(0) + 1);
}

// Same order of time for 10 and for 1,000,000 other members, whether the
// list comes first or after all the others.
void BM_ElementOfArray(benchmark::State& state) { readElement(state, false); }
void BM_ElementOfArrayInsertedLast(benchmark::State& state) { readElement(state, true); }

// ---- Loading an object of many members --------------------------------------------

// {"m0": 0, ..., "m<n-1>": n-1}: the cost per member must not grow with n.
void BM_LoadWideObject(benchmark::State& state) {
    std::string text = "{";
    for (int64_t i = 0; i < state.range(0); ++i) {
        if (i != 0) text += ',';
        text += "\"m";
        text += std::to_string(i);
        text += "\":0";
    }
    text += '}';
    for (auto _ : state) benchmark::DoNotOptimize(parseJsonText(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ---- Loading and saving 10 MB ---------------------------------------------------

std::string tenMegabytes() {
    Json document = Json::array();
    for (int i = 0; document.size() < 80000; ++i)
        document.push_back({{"id", i}, {"name", "player " + std::to_string(i) + " 勇者"}, {"score", i * 1.25},
                            {"flags", {true, false, nullptr}}, {"tags", {"a", "bb", "ccc"}}});
    return document.dump();
}

const std::string& sampleText() {
    static const std::string text = tenMegabytes();
    return text;
}

std::filesystem::path sampleFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "trivu_json_bench";
        std::filesystem::create_directories(path);
        std::ofstream(path / "sample.json", std::ios::binary) << sampleText();
        return path;
    }();
    return folder;
}

void BM_LoadAction(benchmark::State& state) {
    test::Instance instance;
    const std::u16string path = (sampleFolder() / "sample.json").u16string();
    for (auto _ : state) instance.action(2, {path.c_str()});
    if (instance.rd().target == nullptr) state.SkipWithError("the sample did not load");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sampleText().size()));
}

void BM_PlainParse(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Json::parse(sampleText()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sampleText().size()));
}

// The library's own file reading: its stream parser on a file stream.
void BM_PlainParseFromFile(benchmark::State& state) {
    const std::filesystem::path path = sampleFolder() / "sample.json";
    for (auto _ : state) {
        std::ifstream in(path);
        Json document;
        in >> document;
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sampleText().size()));
}

void saveAction(benchmark::State& state, const char16_t* options) {
    test::Instance instance;
    instance.rd().document = Json::parse(sampleText());
    const std::u16string path = (sampleFolder() / "saved.json").u16string();
    for (auto _ : state) instance.action(9, {path.c_str(), options});
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_SaveActionCompact(benchmark::State& state) { saveAction(state, u"0,0"); }
void BM_SaveActionIndented(benchmark::State& state) { saveAction(state, u"0,1"); }

void BM_PlainDump(benchmark::State& state) {
    const Json document = Json::parse(sampleText());
    for (auto _ : state) benchmark::DoNotOptimize(document.dump());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sampleText().size()));
}

// The library's own file writing: a dump into a file stream.
void BM_PlainDumpToFile(benchmark::State& state) {
    const Json document = Json::parse(sampleText());
    const std::filesystem::path path = sampleFolder() / "plain.json";
    for (auto _ : state) std::ofstream(path) << document;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sampleText().size()));
}

void BM_PlainDumpIndented(benchmark::State& state) {
    const Json document = Json::parse(sampleText());
    size_t size = 0;
    for (auto _ : state) benchmark::DoNotOptimize(size = document.dump(4).size());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

// ---- A document of objects ------------------------------------------------------

// {"o0": {"m0": 0, ..., "m999": 999}, ..., "o999": {...}}: a million members in
// a thousand objects. An object that grows must move its members, never copy
// them: a copied member is its whole subtree.
constexpr int kGridSide = 1000;

std::string memberKey(char letter, int i) {
    std::string key(1, letter);
    return key += std::to_string(i);
}

const std::string& gridText() {
    static const std::string text = [] {
        std::string out = "{";
        for (int i = 0; i < kGridSide; ++i) {
            if (i != 0) out += ',';
            out += '"' + memberKey('o', i) + "\":{";
            for (int j = 0; j < kGridSide; ++j) {
                if (j != 0) out += ',';
                out += '"' + memberKey('m', j) + "\":" + std::to_string(j);
            }
            out += '}';
        }
        return out += '}';
    }();
    return text;
}

// The most the loop held beyond what was held before it, in MB.
template <class Body>
void measurePeak(benchmark::State& state, Body body) {
    const size_t before = meter::liveBytes();
    meter::resetPeak();
    for (auto _ : state) body();
    state.counters["peak_MB"] = static_cast<double>(meter::peakBytes() - before) / 1e6;
}

void BM_LoadActionObjectOfObjects(benchmark::State& state) {
    const std::filesystem::path path = sampleFolder() / "grid.json";
    std::ofstream(path, std::ios::binary) << gridText();
    const std::u16string name = path.u16string();
    test::Instance instance;
    measurePeak(state, [&] {
        instance.rd().document = Json();  // each round loads into an empty document
        instance.action(2, {name.c_str()});
    });
    if (instance.rd().document.size() != kGridSide) state.SkipWithError("the grid did not load");
}

void BM_AppendObjectOfObjects(benchmark::State& state) {
    measurePeak(state, [] {
        Json document = Json::object();
        for (int i = 0; i < kGridSide; ++i) {
            Json child = Json::object();
            for (int j = 0; j < kGridSide; ++j) child.emplace(memberKey('m', j), j);
            document.emplace(memberKey('o', i), std::move(child));
        }
        benchmark::DoNotOptimize(document);
    });
}

// The library's plain document (members in a tree) parsing the same text.
void BM_PlainMapParseObjectOfObjects(benchmark::State& state) {
    const std::string& text = gridText();
    measurePeak(state, [&] { benchmark::DoNotOptimize(nlohmann::json::parse(text)); });
}

}  // namespace

BENCHMARK(BM_ElementOfArray)->Arg(10)->Arg(100000);
BENCHMARK(BM_ElementOfArrayInsertedLast)->Arg(10)->Arg(1000)->Arg(100000)->Arg(1000000);
BENCHMARK(BM_LoadWideObject)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAction)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadActionObjectOfObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendObjectOfObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMapParseObjectOfObjects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainParseFromFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveActionCompact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDump)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDumpToFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveActionIndented)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDumpIndented)->Unit(benchmark::kMillisecond);
