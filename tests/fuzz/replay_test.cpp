// Replays every corpus file through its target, so that an input which once
// found a fault keeps being tried by every ordinary build, fuzzer or not.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/targets.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Corpus : public ::testing::TestWithParam<fuzz::Target> {};

TEST_P(Corpus, EveryFileRunsThrough) {
    fs::path folder = fs::path(TRIVU_SOURCE_DIR) / "tests/fuzz/corpus" / GetParam().name;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no seeds in " << folder;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        std::vector<uint8_t> input = contentOf(file);
        EXPECT_EQ(GetParam().run(input.data(), input.size()), 0);
    }
}

std::vector<fuzz::Target> targets() {
    std::vector<fuzz::Target> out;
    for (const fuzz::Target* t = fuzz::kTargets; t->name != nullptr; ++t) out.push_back(*t);
    return out;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Corpus, ::testing::ValuesIn(targets()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
