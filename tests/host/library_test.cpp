// Loading libraries: what the user is told when a file is no extension.
#include <gtest/gtest.h>

#include "trivu-host/library.h"

namespace {

TEST(Library, AMissingFileIsNamedInTheError) {
    std::string error;
    EXPECT_FALSE(host::Library::load("/nonexistent/trivu.mfx", &error));
    EXPECT_EQ(error.rfind("/nonexistent/trivu.mfx: cannot load the library", 0), 0u) << error;
}

TEST(Library, ALibraryWithoutTheRequiredExportsIsRefused) {
    std::string error;
    EXPECT_FALSE(host::Library::load(NOT_AN_EXTENSION, &error));
    EXPECT_EQ(error, std::string(NOT_AN_EXTENSION) + ": not an extension library: missing export GetRunObjectInfos");
}

TEST(Library, TheExtensionIsLookedUpNextToTheProgram) {
    std::string path = host::defaultExtensionPath();
    ASSERT_GT(path.size(), 10u);
    EXPECT_EQ(path.substr(path.size() - 10), "/trivu.mfx");
    EXPECT_EQ(path[0], '/');
}

}  // namespace
