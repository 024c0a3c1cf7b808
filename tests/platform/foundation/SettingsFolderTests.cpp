// The XDG base folders and folder identities: one rule for every reader of the
// settings folder, and one identity for every spelling of a folder.
#include "platform/foundation/SettingsFolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "TempDirectory.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempDirectory;

// Sets environment variables for one test and restores them after.
class Environment {
public:
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~Environment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first, it->second->c_str(), 1);
            else
                ::unsetenv(it->first);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(SettingsFolder, OnlyAnAbsoluteXdgVariableCounts) {
    TempDirectory home;
    Environment environment;
    environment.set("HOME", home.path().c_str());
    const struct {
        const char* config;
        const char* cache;
        fs::path settings;
        fs::path cacheHome;
    } cases[] = {
        {"/x", "/y", "/x/corvanta", "/y"},
        {"/x/", "/y/", "/x/corvanta", "/y/"},
        {"relative/x", "relative/y", home.path() / ".config/corvanta", home.path() / ".cache"},
        {"", "", home.path() / ".config/corvanta", home.path() / ".cache"},
        {nullptr, nullptr, home.path() / ".config/corvanta", home.path() / ".cache"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config ? c.config : "(unset)");
        environment.set("XDG_CONFIG_HOME", c.config);
        environment.set("XDG_CACHE_HOME", c.cache);
        EXPECT_EQ(settingsFolder(), c.settings);
        EXPECT_EQ(cacheHome(), c.cacheHome);
        // The settings store reads the same folder the instance lock is taken on.
        EXPECT_EQ(JsonFileUserDefaults::defaultDirectory(), settingsFolder());
    }
    // A relative home is no home: the password database's is used.
    environment.set("HOME", "somewhere");
    EXPECT_TRUE(homeFolder().is_absolute());
}

TEST(SettingsFolder, EverySpellingOfAFolderHasOneIdentity) {
    TempDirectory temp;
    const fs::path folder = temp.path() / "config" / "corvanta";
    // Made when missing, parents and all.
    const auto identity = folderIdentity(folder);
    ASSERT_TRUE(identity);
    EXPECT_TRUE(fs::is_directory(folder));

    fs::create_directory_symlink(folder, temp.path() / "link");
    EXPECT_EQ(folderIdentity(folder.string() + "/"), identity);
    EXPECT_EQ(folderIdentity(temp.path() / "link"), identity);
    EXPECT_EQ(folderIdentity(temp.path() / "config/../config/corvanta"), identity);
    EXPECT_NE(folderIdentity(temp.path() / "config"), identity);

    // A file where the folder should be has no folder identity.
    std::ofstream(temp.path() / "file") << "x";
    EXPECT_EQ(folderIdentity(temp.path() / "file"), std::nullopt);
    EXPECT_EQ(folderIdentity(temp.path() / "file/corvanta"), std::nullopt);
}

}  // namespace
}  // namespace corvanta::platform
