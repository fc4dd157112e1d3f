// Loading libraries: what the user is told when a file is no extension.
#include <gtest/gtest.h>

#include <filesystem>

#include "trivu-host/play/library.h"

namespace {

TEST(Library, AMissingFileIsNamedInTheError) {
    std::string error;
    EXPECT_FALSE(standin::Library::load("/nonexistent/trivu.mfx", &error));
    EXPECT_EQ(error.rfind("/nonexistent/trivu.mfx: cannot load the library", 0), 0u) << error;
}

TEST(Library, ALibraryWithoutTheRequiredExportsIsRefused) {
    std::string error;
    EXPECT_FALSE(standin::Library::load(NOT_AN_EXTENSION, &error));
    EXPECT_EQ(error, std::string(NOT_AN_EXTENSION) + ": not an extension library: missing export GetRunObjectInfos");
}

TEST(Library, TheExtensionIsLookedUpNextToTheProgram) {
    std::filesystem::path path(standin::defaultExtensionPath());  // "Z:\\...\\trivu.mfx" under Wine
    EXPECT_EQ(path.filename(), "trivu.mfx");
    EXPECT_TRUE(path.is_absolute()) << path;
}

}  // namespace
