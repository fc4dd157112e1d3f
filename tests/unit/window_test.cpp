// The path test on the real file system: what counts as there, and the box
// that reports a missing path.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/text.h"
#include "fake_host.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCheckThePath = 6;

class PathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("trivu-path-" + std::to_string(::getpid()));
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

TEST_F(PathTest, FilesDirectoriesAndLinkedFilesAreThere) {
    test::Instance instance;
    EXPECT_TRUE(check(instance, root / "file.txt"));
    EXPECT_TRUE(check(instance, root / "dir"));
    if (links) {
        EXPECT_TRUE(check(instance, root / "link"));
    }
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(PathTest, MissingPathsAreReportedInAWideBoxWithThePathQuoted) {
    test::Instance instance;
    fs::path missing = links ? root / "dangling" : root / "gone";  // links are followed
    EXPECT_FALSE(check(instance, missing));
    EXPECT_FALSE(check(instance, root / "file.txt" / "below"));
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0], (test::Box{"Not Found the File.....",
                                           "ERR :: Missing :: check the file path below \n\n \"" +
                                               trivu::WideToUtf8(missing.u16string()) + "\" ",
                                           true}));
}
