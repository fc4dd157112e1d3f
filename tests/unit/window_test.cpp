// The path test on the real file system: what the system answers for each
// kind of path, and what condition 6 makes of it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fake_host.h"
#include "platform/platform.h"
#include "platform/utf.h"

namespace fs = std::filesystem;
using trivu::platform::PathState;

namespace {

constexpr int kCheckThePath = 6;

class PathTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string pid = std::to_string(::getpid());
        root = fs::temp_directory_path() / (u"trivu 日本語 " + std::u16string(pid.begin(), pid.end()));
        fs::create_directories(root / "dir");
        std::ofstream(root / "file.txt") << "x";
        // Wine, like Windows without the privilege, may refuse symbolic
        // links; the cases with links then have nothing to check.
        std::error_code dangling, link;
        fs::create_symlink(root / "gone", root / "dangling", dangling);
        fs::create_symlink(root / "file.txt", root / "link", link);
        links = !dangling && !link;
    }
    void TearDown() override { fs::remove_all(root); }

    bool check(test::Instance& instance, const fs::path& path) {
        std::u16string text = path.u16string();
        return instance.condition(kCheckThePath, {text.c_str()});
    }

    fs::path root;
    bool links = false;
    test::RecordingDesktop desktop;
};

}  // namespace

TEST_F(PathTest, TheSystemSaysWhatIsThere) {
    struct Case {
        const char* what;
        std::u16string path;
        PathState state;
    };
    std::vector<Case> cases = {
        {"a file", (root / "file.txt").u16string(), PathState::Present},
        {"a directory", (root / "dir").u16string(), PathState::Present},
        {"a path from the current directory", u"file.txt", PathState::Present},
        {"nothing", (root / "gone").u16string(), PathState::Missing},
        {"nothing, from the current directory", u"gone", PathState::Missing},
        {"a name below a file", (root / "file.txt" / "below").u16string(), PathState::Missing},
        {"the empty path", u"", PathState::Missing},
    };
    if (links) {
        cases.push_back({"a link to a file", (root / "link").u16string(), PathState::Present});
        cases.push_back({"a link to nothing", (root / "dangling").u16string(), PathState::Missing});
    }
#if !defined(_WIN32)
    // No file name holds a lone surrogate; one converted to U+FFFD would find
    // this file instead.
    std::ofstream(root / u"lone\uFFFD") << "x";
    cases.push_back({"a lone surrogate, which no name can hold", (root / "lone").u16string() + u'\xD800',
                     PathState::Missing});
    cases.push_back({"a name longer than the system takes", (root / std::string(300, 'n')).u16string(),
                     PathState::Unusable});
#endif
    const fs::path before = fs::current_path();
    fs::current_path(root);
    for (const Case& c : cases) EXPECT_EQ(trivu::platform::pathState(c.path), c.state) << c.what;
    fs::current_path(before);
}

TEST_F(PathTest, ConditionSixIsTrueWhereSomethingIsAndReportsAMissingPathInAWideBox) {
    test::Instance instance;
    EXPECT_TRUE(check(instance, root / "file.txt"));
    EXPECT_TRUE(check(instance, root / "dir"));
    EXPECT_TRUE(desktop.boxes.empty());
    const fs::path missing = root / "gone";
    EXPECT_FALSE(check(instance, missing));
    EXPECT_FALSE(check(instance, root / std::string(300, 'n')));  // a failed question counts as missing
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0], (test::Box{"Not Found the File.....",
                                           "ERR :: Missing :: check the file path below \n\n \"" +
                                               trivu::platform::utf16ToUtf8(missing.u16string()) + "\" ",
                                           true}));
}
