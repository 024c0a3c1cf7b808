// Bundle: resource look-up finds regular files only, inside the root only.
#include "platform/foundation/Bundle.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TempDirectory.h"

namespace corvanta::platform {
namespace {

namespace fs = std::filesystem;

TEST(BundleLookup, FindsRegularFilesByNameExtensionAndFolder) {
    testing::TempDirectory temp;
    fs::create_directories(temp.path() / "catalog");
    fs::create_directories(temp.path() / "images" / "folder.svg");
    std::ofstream(temp.path() / "catalog" / "office.json") << "{}";
    std::ofstream(temp.path() / "README") << "x";
    std::ofstream(temp.path() / "secret.json") << "x";

    const Bundle bundle(temp.path(), "org.corvanta.app");
    EXPECT_EQ(bundle.bundleIdentifier(), "org.corvanta.app");
    EXPECT_EQ(bundle.url("office", "json", "catalog"), temp.path() / "catalog" / "office.json");
    EXPECT_EQ(bundle.url("README", ""), temp.path() / "README");
    EXPECT_EQ(bundle.url("office", "json"), std::nullopt);
    EXPECT_EQ(bundle.url("office", "svg", "catalog"), std::nullopt);
    EXPECT_EQ(bundle.url("folder", "svg", "images"), std::nullopt);  // a directory
    // Names from data cannot reach outside the folder asked for.
    EXPECT_EQ(bundle.url("../secret", "json", "catalog"), std::nullopt);
    EXPECT_EQ(bundle.url("secret", "json", "catalog/.."), std::nullopt);
}

TEST(BundleLookup, ForExecutablePrefersTheBuildTreeResources) {
    testing::TempDirectory temp;
    fs::create_directories(temp.path() / "bin");
    EXPECT_EQ(Bundle::forExecutable(temp.path() / "bin" / "corvanta", std::nullopt).resourceRoot(),
              temp.path() / "share" / "corvanta");
    fs::create_directories(temp.path() / "bin" / "resources");
    EXPECT_EQ(Bundle::forExecutable(temp.path() / "bin" / "corvanta", std::nullopt).resourceRoot(),
              temp.path() / "bin" / "resources");
}

}  // namespace
}  // namespace corvanta::platform
