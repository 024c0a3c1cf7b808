// Settings stores: type strictness of reads and the JSON file store's durability.
#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>

#include "TempDirectory.h"
#include "platform/foundation/SettingsDocument.h"

namespace corvanta::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempDirectory;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> fileNames(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(UserDefaultsReads, ReadingAsAnotherTypeGivesNothing) {
    MemoryUserDefaults defaults;
    defaults.setString("flag", "false");
    defaults.setBool("bool", true);
    defaults.setInteger("int", 7);
    defaults.setDouble("double", 2.5);
    defaults.setStringArray("list", {"a"});
    defaults.setData("bytes", {1, 2});

    // The string "false" is not a Boolean, and absent reads as false.
    EXPECT_EQ(defaults.boolean("flag"), std::nullopt);
    EXPECT_FALSE(defaults.boolForKey("flag"));
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_TRUE(defaults.boolForKey("bool"));
    EXPECT_EQ(defaults.string("bool"), std::nullopt);
    EXPECT_EQ(defaults.number("bool"), std::nullopt);
    EXPECT_EQ(defaults.number("flag"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("flag"), std::nullopt);
    EXPECT_EQ(defaults.data("flag"), std::nullopt);
    EXPECT_EQ(defaults.string("bytes"), std::nullopt);

    // Integers and doubles are both numbers.
    EXPECT_EQ(defaults.number("int"), 7.0);
    EXPECT_EQ(defaults.number("double"), 2.5);
    EXPECT_EQ(defaults.object("int"), DefaultsValue(std::int64_t{7}));

    defaults.removeObject("int");
    EXPECT_EQ(defaults.object("int"), std::nullopt);
}

class JsonFileUserDefaultsTest : public ::testing::Test {
protected:
    TempDirectory temp;
    fs::path file() const { return temp.path() / "domain.json"; }
    JsonFileUserDefaults open() const { return JsonFileUserDefaults(temp.path(), "domain"); }
};

TEST_F(JsonFileUserDefaultsTest, ValuesAndTypesSurviveAReopen) {
    const Data bytes{0, 1, 2, 253, 254, 255, '{', '"'};
    {
        auto defaults = open();
        defaults.setString("string", "false");
        defaults.setString("unicode", "快捷键 ⌘ é");
        defaults.setBool("bool", false);
        defaults.setInteger("integer", std::numeric_limits<std::int64_t>::min());
        defaults.setDouble("double", 0.1);
        defaults.setDouble("whole", 230.0);
        defaults.setDouble("infinite", -std::numeric_limits<double>::infinity());
        defaults.setStringArray("list", {"b", "", "a"});
        defaults.setStringArray("empty", {});
        defaults.setData("data", bytes);
        defaults.setData("noData", {});
        EXPECT_TRUE(defaults.lastWriteSucceeded());
    }
    const auto defaults = open();
    EXPECT_EQ(defaults.object("string"), DefaultsValue(std::string("false")));
    EXPECT_EQ(defaults.boolean("string"), std::nullopt);
    EXPECT_EQ(defaults.string("unicode"), "快捷键 ⌘ é");
    EXPECT_EQ(defaults.object("bool"), DefaultsValue(false));
    EXPECT_EQ(defaults.object("integer"), DefaultsValue(std::numeric_limits<std::int64_t>::min()));
    EXPECT_EQ(defaults.object("double"), DefaultsValue(0.1));
    // A whole double stays a double, not an integer.
    EXPECT_EQ(defaults.object("whole"), DefaultsValue(230.0));
    EXPECT_EQ(defaults.number("infinite"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(defaults.stringArray("list"), (std::vector<std::string>{"b", "", "a"}));
    EXPECT_EQ(defaults.stringArray("empty"), std::vector<std::string>{});
    EXPECT_EQ(defaults.data("data"), bytes);
    EXPECT_EQ(defaults.data("noData"), Data{});
    EXPECT_FALSE(defaults.movedAsidePath());
}

TEST_F(JsonFileUserDefaultsTest, RemovalIsPersisted) {
    {
        auto defaults = open();
        defaults.setInteger("a", 1);
        defaults.setInteger("b", 2);
        defaults.removeObject("a");
    }
    const auto defaults = open();
    EXPECT_EQ(defaults.object("a"), std::nullopt);
    EXPECT_EQ(defaults.number("b"), 2.0);
}

TEST_F(JsonFileUserDefaultsTest, ScheduledWritesGatherABurstIntoOneFileWrite) {
    std::vector<std::function<void()>> flushes;
    {
        auto defaults = open();
        defaults.setFlushScheduler(
            [&flushes](std::function<void()> flush) { flushes.push_back(std::move(flush)); });
        for (int x = 0; x < 50; ++x) defaults.setInteger("x", x);
        EXPECT_EQ(flushes.size(), 1u);
        EXPECT_FALSE(fs::exists(file()));
        flushes.front()();
        EXPECT_EQ(open().number("x"), 49.0);

        // The next change asks again; synchronize() does not wait for it.
        defaults.setString("pack", "blender");
        ASSERT_EQ(flushes.size(), 2u);
        defaults.synchronize();
        EXPECT_EQ(open().string("pack"), "blender");

        // Whatever is pending when the store goes away still reaches the disk.
        defaults.setString("pack", "figma");
    }
    EXPECT_EQ(open().string("pack"), "figma");
    // A flush that runs after its store is gone does nothing.
    for (auto& flush : flushes) flush();
}

TEST_F(JsonFileUserDefaultsTest, WritesLeaveNoTemporaryFilesBehind) {
    auto defaults = open();
    for (int i = 0; i < 20; ++i) defaults.setInteger("counter", i);
    defaults.removeObject("counter");
    defaults.synchronize();
    EXPECT_EQ(fileNames(temp.path()), std::vector<std::string>{"domain.json"});
    // Every write leaves a complete document.
    EXPECT_TRUE(nlohmann::json::parse(readBytes(file())).is_object());
}

TEST_F(JsonFileUserDefaultsTest, UnreadableFileIsMovedAsideIntact) {
    const std::string garbage = "{\"CorvantaLanguage\": {\"type\": \"string\", \"val\xff";
    for (const std::string& bytes : {garbage, std::string("[1, 2]"), std::string()}) {
        TempDirectory dir;
        writeBytes(dir.path() / "domain.json", bytes);
        ::testing::internal::CaptureStderr();
        JsonFileUserDefaults defaults(dir.path(), "domain");
        const std::string reported = ::testing::internal::GetCapturedStderr();

        EXPECT_EQ(defaults.object("CorvantaLanguage"), std::nullopt);
        ASSERT_TRUE(defaults.movedAsidePath());
        const fs::path aside = *defaults.movedAsidePath();
        EXPECT_EQ(aside.parent_path(), dir.path());
        // The user learns where the file went, by its full path, in one line.
        EXPECT_NE(reported.find(" " + aside.string() + " "), std::string::npos) << reported;
        EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;
        EXPECT_EQ(aside.filename().string().rfind("domain.json.unreadable-", 0), 0u);
        EXPECT_EQ(readBytes(aside), bytes);
        EXPECT_FALSE(fs::exists(dir.path() / "domain.json"));

        // The domain starts empty and writes a fresh file; the moved bytes stay.
        defaults.setString("CorvantaLanguage", "en");
        EXPECT_TRUE(defaults.lastWriteSucceeded());
        EXPECT_EQ(readBytes(aside), bytes);
        EXPECT_EQ(JsonFileUserDefaults(dir.path(), "domain").string("CorvantaLanguage"), "en");
    }
}

TEST_F(JsonFileUserDefaultsTest, UnknownEntriesOfAGoodFileAreKept) {
    writeBytes(file(), R"({
        "future": {"type": "colour", "value": "#ff0000"},
        "bare": 12,
        "badData": {"type": "data", "value": "not base64!"},
        "known": {"type": "bool", "value": true}
    })");
    {
        auto defaults = open();
        EXPECT_FALSE(defaults.movedAsidePath());
        EXPECT_EQ(defaults.boolean("known"), true);
        EXPECT_EQ(defaults.object("future"), std::nullopt);
        EXPECT_EQ(defaults.object("bare"), std::nullopt);
        EXPECT_EQ(defaults.object("badData"), std::nullopt);
        defaults.setString("added", "x");
        defaults.setInteger("bare", 3);  // a write replaces an unreadable entry
    }
    const auto document = nlohmann::json::parse(readBytes(file()));
    EXPECT_EQ(document["future"], nlohmann::json({{"type", "colour"}, {"value", "#ff0000"}}));
    EXPECT_EQ(document["badData"]["value"], "not base64!");
    EXPECT_EQ(open().number("bare"), 3.0);
    EXPECT_EQ(open().string("added"), "x");
}

TEST_F(JsonFileUserDefaultsTest, UnwritableDirectoryKeepsValuesInMemory) {
    // A regular file where the folder should be: no folder can be created,
    // whatever the privileges of the user running the tests.
    writeBytes(temp.path() / "blocker", "x");
    JsonFileUserDefaults defaults(temp.path() / "blocker" / "corvanta", "domain");
    EXPECT_NO_THROW(defaults.setString("key", "value"));
    EXPECT_FALSE(defaults.lastWriteSucceeded());
    EXPECT_EQ(defaults.string("key"), "value");
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_FALSE(defaults.lastWriteSucceeded());
    EXPECT_EQ(readBytes(temp.path() / "blocker"), "x");

    // Once the folder can be made, the value kept in memory reaches the disk.
    fs::remove(temp.path() / "blocker");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(JsonFileUserDefaults(temp.path() / "blocker" / "corvanta", "domain").string("key"),
              "value");
}

TEST_F(JsonFileUserDefaultsTest, AFailedWriteIsTriedAgainWhenTheStoreCloses) {
    writeBytes(temp.path() / "blocker", "x");
    {
        JsonFileUserDefaults defaults(temp.path() / "blocker" / "corvanta", "domain");
        defaults.setString("key", "value");
        EXPECT_FALSE(defaults.lastWriteSucceeded());
        fs::remove(temp.path() / "blocker");
    }
    EXPECT_EQ(JsonFileUserDefaults(temp.path() / "blocker" / "corvanta", "domain").string("key"),
              "value");
}

// The writer never leaves a file the reader refuses: a write past its limit
// fails like a disk that refuses it, and the file stays as it was.
TEST_F(JsonFileUserDefaultsTest, AWriteOverTheWriterLimitIsRefusedAndTheFileKept) {
    static_assert(SettingsDocument::kMaxWriteBytes * 2 <= SettingsDocument::kMaxBytes);
    auto defaults = open();
    defaults.setString("kept", "value");
    ASSERT_TRUE(defaults.lastWriteSucceeded());
    const std::string before = readBytes(file());

    // Base64 makes 6 MiB of data 8 MiB of text.
    defaults.setData("huge", Data(SettingsDocument::kMaxWriteBytes / 4 * 3, 7));
    EXPECT_FALSE(defaults.lastWriteSucceeded());
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(readBytes(file()), before);
    EXPECT_EQ(open().string("kept"), "value");
    EXPECT_EQ(open().object("huge"), std::nullopt);

    // Once the value is gone, writes reach the disk again.
    defaults.removeObject("huge");
    defaults.setBool("next", true);
    EXPECT_TRUE(defaults.lastWriteSucceeded());
    EXPECT_EQ(open().boolean("next"), true);

    // Just under the limit is written and reads back.
    const std::size_t room = SettingsDocument::kMaxWriteBytes - readBytes(file()).size() - 200;
    defaults.setData("large", Data(room / 4 * 3, 1));
    EXPECT_TRUE(defaults.lastWriteSucceeded());
    EXPECT_EQ(open().data("large")->size(), room / 4 * 3);
}

TEST_F(JsonFileUserDefaultsTest, AFileOverTheWriterLimitMayKeepItsSizeButNotGrow) {
    // Written by an earlier version: over the writer's limit, under the reader's.
    SettingsDocument earlier;
    earlier.values.emplace("large", Data(SettingsDocument::kMaxWriteBytes / 4 * 3 + 1000, 1));
    earlier.values.emplace("theme", std::string("light"));
    writeBytes(file(), earlier.serialize());

    auto defaults = open();
    EXPECT_FALSE(defaults.movedAsidePath());
    defaults.setString("theme", "dark.");  // as long as "light"
    EXPECT_TRUE(defaults.lastWriteSucceeded());
    const std::string written = readBytes(file());
    defaults.setString("theme", "darker");
    EXPECT_FALSE(defaults.lastWriteSucceeded());
    EXPECT_EQ(readBytes(file()), written);
    EXPECT_EQ(open().string("theme"), "dark.");
}

std::string nested(int depth) {
    return R"({"future": )" + std::string(static_cast<size_t>(depth), '[') +
           std::string(static_cast<size_t>(depth), ']') + "}";
}

// Whatever sits at the settings path, the store opens without blocking or
// crashing, moves it aside untouched, and then writes a fresh regular file.
TEST_F(JsonFileUserDefaultsTest, HostileFilesAreMovedAsideAndNeverRead) {
    const std::string huge = R"({"k": {"type": "string", "value": ")" +
                             std::string(SettingsDocument::kMaxBytes, 'x') + "\"}}";
    const std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> cases = {
        {"folder", [](const fs::path& p) { fs::create_directory(p); }},
        {"FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
        {"link loop", [](const fs::path& p) { fs::create_symlink(p.filename(), p); }},
        {"70,000 deep", [](const fs::path& p) { writeBytes(p, nested(70'000)); }},
        {"over the size limit", [&huge](const fs::path& p) { writeBytes(p, huge); }},
    };
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        TempDirectory dir;
        const fs::path path = dir.path() / "domain.json";
        make(path);
        const auto type = fs::symlink_status(path).type();
        JsonFileUserDefaults defaults(dir.path(), "domain");
        ASSERT_TRUE(defaults.movedAsidePath());
        EXPECT_EQ(fs::symlink_status(*defaults.movedAsidePath()).type(), type);
        defaults.setString("CorvantaLanguage", "en");
        EXPECT_TRUE(defaults.lastWriteSucceeded());
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
        EXPECT_EQ(JsonFileUserDefaults(dir.path(), "domain").string("CorvantaLanguage"), "en");
    }
}

TEST_F(JsonFileUserDefaultsTest, KeptValuesAreBoundedInDepthAndWrittenCompactly) {
    // Within the limit an unknown value is kept; rewriting it must not grow it
    // by its depth (pretty-printing indents every level).
    const int depth = SettingsDocument::kMaxDepth - 1;
    writeBytes(file(), nested(depth));
    {
        auto defaults = open();
        EXPECT_FALSE(defaults.movedAsidePath());
        defaults.setBool("known", true);
    }
    const std::string written = readBytes(file());
    EXPECT_LT(written.size(), 2 * nested(depth).size() + 100);
    EXPECT_EQ(nlohmann::json::parse(written)["future"],
              nlohmann::json::parse(nested(depth))["future"]);

    writeBytes(file(), nested(SettingsDocument::kMaxDepth + 1));
    EXPECT_TRUE(open().movedAsidePath());
}

TEST_F(JsonFileUserDefaultsTest, LinkedFileIsReplacedWhereItLivesAndStaysALink) {
    const fs::path dotfiles = temp.path() / "dotfiles";
    fs::create_directory(dotfiles);
    const fs::path target = dotfiles / "corvanta.json";
    writeBytes(target, R"({"pack": {"type": "string", "value": "xcode"}})");
    fs::create_symlink("dotfiles/corvanta.json", file());
    {
        auto defaults = open();
        EXPECT_EQ(defaults.string("pack"), "xcode");
        defaults.setString("pack", "figma");
        EXPECT_TRUE(defaults.lastWriteSucceeded());
    }
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(open().string("pack"), "figma");
    EXPECT_EQ(fileNames(dotfiles), std::vector<std::string>{"corvanta.json"});

    // An unreadable target is moved aside beside itself; the link stays and
    // the next write recreates the target.
    writeBytes(target, "{broken");
    {
        auto defaults = open();
        ASSERT_TRUE(defaults.movedAsidePath());
        EXPECT_EQ(defaults.movedAsidePath()->parent_path(), dotfiles);
        EXPECT_EQ(readBytes(*defaults.movedAsidePath()), "{broken");
        defaults.setString("pack", "blender");
    }
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(open().string("pack"), "blender");
}

TEST_F(JsonFileUserDefaultsTest, StaleTemporaryFilesOfAKilledWriteAreRemovedOnlyWhenAsked) {
    writeBytes(file(), R"({"pack": {"type": "string", "value": "xcode"}})");
    writeBytes(temp.path() / ".domain.json.tmp-a1B2c3", "{\"half");
    writeBytes(temp.path() / ".domain.json.tmp-notes.txt", "mine");
    writeBytes(temp.path() / ".other.json.tmp-a1B2c3", "not ours");
    // Opening alone leaves them: they may be another process's write.
    auto defaults = open();
    EXPECT_EQ(defaults.string("pack"), "xcode");
    EXPECT_EQ(fileNames(temp.path()).size(), 4u);
    // The holder of the folder's lock clears them.
    defaults.removeStaleTemporaryFiles();
    EXPECT_EQ(fileNames(temp.path()),
              (std::vector<std::string>{".domain.json.tmp-notes.txt", ".other.json.tmp-a1B2c3",
                                        "domain.json"}));
}

// Another program writing the same file between two writes of ours: what it
// wrote stays, except the keys this store changed since it last wrote.
TEST_F(JsonFileUserDefaultsTest, AnotherProgramsChangesSurviveTheNextWrite) {
    std::vector<std::function<void()>> flushes;
    auto defaults = open();
    defaults.setFlushScheduler(
        [&flushes](std::function<void()> flush) { flushes.push_back(std::move(flush)); });
    for (const char* key : {"mine", "theirs", "gone", "dropped"}) defaults.setString(key, "old");
    defaults.synchronize();

    // The other program replaces the file, and later edits it in place.
    {
        auto other = open();
        other.setString("theirs", "new");
        other.setInteger("added", 7);
        other.setString("future", "x");
        other.removeObject("gone");
    }
    defaults.setString("mine", "new");
    defaults.removeObject("dropped");
    flushes.back()();
    auto read = open();
    EXPECT_EQ(read.string("mine"), "new");
    EXPECT_EQ(read.string("theirs"), "new");
    EXPECT_EQ(read.number("added"), 7.0);
    EXPECT_EQ(read.object("gone"), std::nullopt);
    EXPECT_EQ(read.object("dropped"), std::nullopt);
    // What this store now holds is what the file holds.
    EXPECT_EQ(defaults.number("added"), 7.0);

    std::string text = readBytes(file());
    text.replace(text.rfind('}'), 1, R"(, "kept": {"type": "colour", "value": "#fff"}})");
    writeBytes(file(), text);
    defaults.setBool("pin", true);
    defaults.synchronize();
    const auto document = nlohmann::json::parse(readBytes(file()));
    EXPECT_EQ(document["kept"]["type"], "colour");
    EXPECT_EQ(document["future"]["value"], "x");
    EXPECT_EQ(document["pin"]["value"], true);
}

// A file another program left unreadable is moved aside as at open, never
// written over.
TEST_F(JsonFileUserDefaultsTest, AnUnreadableFileFoundAtAWriteIsMovedAside) {
    auto defaults = open();
    defaults.setString("pack", "figma");
    writeBytes(file(), "{broken");
    ::testing::internal::CaptureStderr();
    defaults.setString("theme", "dark");
    const std::string reported = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(defaults.movedAsidePath());
    EXPECT_EQ(readBytes(*defaults.movedAsidePath()), "{broken");
    EXPECT_NE(reported.find(defaults.movedAsidePath()->string()), std::string::npos) << reported;
    EXPECT_EQ(open().string("pack"), "figma");
    EXPECT_EQ(open().string("theme"), "dark");
}

// Each way a save can fail: told once, on one line naming the file and the
// reason, and the change reaches the file once writing works again.
TEST_F(JsonFileUserDefaultsTest, AFailedSaveIsToldOnceAndWrittenWhenWritingWorksAgain) {
    struct Failure {
        std::string name;
        std::function<void(JsonFileUserDefaults&)> breakIt;
        std::function<void(JsonFileUserDefaults&)> mendIt;
        std::vector<std::string> told;
    };
    const fs::path missing = temp.path() / "missing";
    std::vector<Failure> failures = {
        {"link into a missing folder",
         [&](JsonFileUserDefaults&) { fs::create_symlink(missing / "domain.json", file()); },
         [&](JsonFileUserDefaults&) { fs::create_directory(missing); },
         {file().string() + " (a link to " + (missing / "domain.json").string() + ")",
          "No such file or directory"}},
        {"over the writer's limit",
         [](JsonFileUserDefaults& d) {
             d.setData("huge", Data(SettingsDocument::kMaxWriteBytes / 4 * 3, 7));
         },
         [](JsonFileUserDefaults& d) { d.removeObject("huge"); },
         {file().string(), "limit of " + std::to_string(SettingsDocument::kMaxWriteBytes)}},
    };
    if (::geteuid() != 0) {
        failures.push_back(
            {"read-only folder",
             [&](JsonFileUserDefaults&) {
                 fs::permissions(temp.path(), fs::perms::owner_read | fs::perms::owner_exec);
             },
             [&](JsonFileUserDefaults&) { fs::permissions(temp.path(), fs::perms::owner_all); },
             {file().string(), "Permission denied"}});
    }
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.name);
        fs::remove(file());
        auto defaults = open();
        ::testing::internal::CaptureStderr();
        failure.breakIt(defaults);
        defaults.setString("theme", "light");
        defaults.setBool("pin", false);
        EXPECT_FALSE(defaults.synchronize());
        std::string reported = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;
        for (const std::string& part : failure.told)
            EXPECT_NE(reported.find(part), std::string::npos) << part << " in " << reported;

        failure.mendIt(defaults);
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(defaults.synchronize());
        reported = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(reported, "");
        EXPECT_EQ(open().string("theme"), "light");
        EXPECT_EQ(open().boolean("pin"), false);
    }
}

TEST(JsonFileUserDefaultsDirectory, FollowsXdgConfigHome) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = savedXdg ? savedXdg : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-config", 1);
    EXPECT_EQ(JsonFileUserDefaults::defaultDirectory(), fs::path("/tmp/xdg-config/corvanta"));
    ::setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(JsonFileUserDefaults::defaultDirectory().filename(), "corvanta");
    EXPECT_EQ(JsonFileUserDefaults::defaultDirectory().parent_path().filename(), ".config");
    if (savedXdg) {
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
}  // namespace corvanta::platform
