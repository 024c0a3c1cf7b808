// Locally stored feedback reports and software requests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <nlohmann/json.hpp>

#include "RefusingDefaults.h"
#include "TestSupport.h"
#include "catalog/SettingsKeys.h"
#include "catalog/ShortcutStore.h"
#include "catalog/StoredSubmissions.h"
#include "platform/foundation/SettingsDocument.h"

namespace corvanta {
namespace {

using nlohmann::json;

json storedList(const platform::UserDefaults& defaults, std::string_view key) {
    const auto data = defaults.data(key);
    if (!data)
        return nullptr;
    return json::parse(data->begin(), data->end());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

platform::Data bytes(std::string_view text) {
    return platform::Data(text.begin(), text.end());
}

class SubmissionTest : public ::testing::Test {
protected:
    SubmissionTest() {
        bundle.writeAll({testing::simplePack("figma")});
        store = std::make_unique<ShortcutStore>(bundle.bundle(), defaults);
    }
    testing::TempBundle bundle;
    platform::MemoryUserDefaults defaults;
    std::unique_ptr<ShortcutStore> store;
};

TEST_F(SubmissionTest, FeedbackIsTrimmedAndStoredInItsFormat) {
    const double before = platform::Date::now().timeIntervalSinceReferenceDate;
    EXPECT_TRUE(store->submitFeedback("\n  The list\nis slow \u3000", "  me@example.org \t"));
    const json list = storedList(defaults, keys::kFeedbackReports);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 1u);
    const json& r = list[0];
    EXPECT_EQ(r.size(), 6u);
    EXPECT_EQ(r["message"], "The list\nis slow");
    EXPECT_EQ(r["contact"], "me@example.org");
    EXPECT_EQ(r["softwareID"], "figma");
    EXPECT_EQ(r["language"], "en");
    const std::string id = r["id"];
    EXPECT_EQ(id.size(), 36u);
    EXPECT_EQ(id, platform::Uuid::fromString(id)->uuidString());  // canonical upper case
    ASSERT_TRUE(r["submittedAt"].is_number_float());
    EXPECT_GE(r["submittedAt"].get<double>(), before);
    EXPECT_LT(r["submittedAt"].get<double>(), before + 60);

    store->toggleLanguage();
    EXPECT_TRUE(store->submitFeedback("second", ""));
    const json again = storedList(defaults, keys::kFeedbackReports);
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1]["language"], "zh");
    EXPECT_EQ(again[1]["contact"], "");
    EXPECT_EQ(again[0], list[0]);
}

TEST_F(SubmissionTest, BlankInputStoresNothing) {
    defaults.setData(keys::kFeedbackReports, bytes("[]"));
    EXPECT_FALSE(store->submitFeedback(" \n\t\u2028", "contact"));
    EXPECT_FALSE(store->submitSoftwareRequest("\u3000", "contact", SoftwareGroup::office));
    EXPECT_EQ(defaults.data(keys::kFeedbackReports), bytes("[]"));
    EXPECT_FALSE(defaults.data(keys::kSoftwareRequests));
}

TEST_F(SubmissionTest, SoftwareRequestFormat) {
    EXPECT_TRUE(store->submitSoftwareRequest("  GitKraken ", " ", SoftwareGroup::versionControl));
    const json list = storedList(defaults, keys::kSoftwareRequests);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].size(), 5u);
    EXPECT_EQ(list[0]["group"], "versionControl");
    EXPECT_EQ(list[0]["softwareName"], "GitKraken");
    EXPECT_EQ(list[0]["contact"], "");
}

TEST_F(SubmissionTest, ListsKeepTheNewestHundred) {
    for (int i = 1; i <= 101; ++i)
        EXPECT_TRUE(
            store->submitSoftwareRequest("app " + std::to_string(i), "", SoftwareGroup::other));
    const json list = storedList(defaults, keys::kSoftwareRequests);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.front()["softwareName"], "app 2");
    EXPECT_EQ(list.back()["softwareName"], "app 101");
}

TEST_F(SubmissionTest, UnreadableListIsKeptAsideBeforeItIsReplaced) {
    const platform::Data corrupt = bytes("[{\"id\": \"not a uuid\"}");
    defaults.setData(keys::kFeedbackReports, corrupt);
    EXPECT_TRUE(store->submitFeedback("first", ""));
    EXPECT_EQ(storedList(defaults, keys::kFeedbackReports).size(), 1u);
    EXPECT_EQ(defaults.data(keys::kUnreadableFeedbackReports), corrupt);

    // A second unreadable list does not overwrite the first one kept aside.
    defaults.setData(keys::kFeedbackReports, bytes("{}"));
    EXPECT_TRUE(store->submitFeedback("second", ""));
    EXPECT_EQ(storedList(defaults, keys::kFeedbackReports).size(), 1u);
    EXPECT_EQ(defaults.data(keys::kUnreadableFeedbackReports), corrupt);

    // A record with a missing key makes the list unreadable as well.
    const std::string missingKey =
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","group":"office","contact":"","submittedAt":1}])";
    defaults.setData(keys::kSoftwareRequests, bytes(missingKey));
    EXPECT_TRUE(store->submitSoftwareRequest("app", "", SoftwareGroup::office));
    EXPECT_EQ(storedList(defaults, keys::kSoftwareRequests).size(), 1u);
    EXPECT_EQ(defaults.data(keys::kUnreadableSoftwareRequests), bytes(missingKey));
}

TEST_F(SubmissionTest, ValueOfAnotherTypeCountsAsAbsent) {
    defaults.setString(keys::kSoftwareRequests, "not data");
    EXPECT_TRUE(store->submitSoftwareRequest("app", "", SoftwareGroup::office));
    EXPECT_EQ(storedList(defaults, keys::kSoftwareRequests).size(), 1u);
    EXPECT_FALSE(defaults.object(keys::kUnreadableSoftwareRequests));
}

TEST_F(SubmissionTest, ReadableListWrittenElsewhereIsExtended) {
    // Lower-case ids, integer dates, other key order and unknown keys are all readable.
    const std::string list =
        R"([{"submittedAt":12,"language":"zh","softwareID":"x","contact":"","message":"m",)"
        R"("id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","extra":true}])";
    defaults.setData(keys::kFeedbackReports, bytes(list));
    EXPECT_TRUE(store->submitFeedback("next", ""));
    const json stored = storedList(defaults, keys::kFeedbackReports);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0]["id"], "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(stored[0]["submittedAt"], 12.0);
    EXPECT_FALSE(defaults.data(keys::kUnreadableFeedbackReports));
}

TEST(SubmissionResult, RefusedOrImpossibleWritesAreReportedAsNotStored) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("figma")});
    testing_support::RefusingDefaults defaults;
    ShortcutStore store(bundle.bundle(), defaults);

    EXPECT_TRUE(store.submitFeedback("kept", ""));
    defaults.refuses = true;
    EXPECT_FALSE(store.submitFeedback("dropped", ""));
    EXPECT_FALSE(store.submitSoftwareRequest("dropped", "", SoftwareGroup::office));
    EXPECT_EQ(storedList(defaults, keys::kFeedbackReports).size(), 1u);
    EXPECT_FALSE(defaults.data(keys::kSoftwareRequests));

    // Text that is not UTF-8 cannot be encoded: nothing is stored and the
    // existing list stays as it was.
    defaults.refuses = false;
    EXPECT_FALSE(store.submitFeedback("bad \xFF bytes", ""));
    EXPECT_EQ(storedList(defaults, keys::kFeedbackReports).size(), 1u);
    EXPECT_TRUE(store.submitSoftwareRequest("app", "", SoftwareGroup::office));
}

TEST(SubmissionResult, DiskThatRefusesTheFileFailsAndARetryStoresOnce) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("figma")});
    testing::TempDir settings;
    // A regular file where the settings folder should be: nothing can be
    // written, whatever the privileges of the user running the tests.
    const auto blocker = settings.path() / "blocker";
    std::ofstream(blocker) << "x";
    platform::JsonFileUserDefaults defaults(blocker / "corvanta", "settings");
    ShortcutStore store(bundle.bundle(), defaults);

    EXPECT_FALSE(store.submitFeedback("first try", ""));
    EXPECT_FALSE(store.submitSoftwareRequest("app", "", SoftwareGroup::office));
    EXPECT_FALSE(defaults.data(keys::kFeedbackReports));
    EXPECT_FALSE(defaults.data(keys::kSoftwareRequests));

    std::filesystem::remove(blocker);
    EXPECT_TRUE(store.submitFeedback("second try", ""));
    const platform::JsonFileUserDefaults reread(blocker / "corvanta", "settings");
    const json stored = storedList(reread, keys::kFeedbackReports);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]["message"], "second try");
}

// A submission that would make the settings file too large for the reader
// fails like a refused write: nothing is kept, the file stays readable, and
// the next ordinary submission is stored. Writes go out later, as in the app.
TEST(SubmissionResult, SubmissionTooLargeForTheSettingsFileFailsAndKeepsNothing) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("figma")});
    testing::TempDir settings;
    std::vector<std::function<void()>> flushes;
    const auto flushAll = [&flushes] {
        while (!flushes.empty()) {
            auto flush = std::move(flushes.front());
            flushes.erase(flushes.begin());
            flush();
        }
    };
    {
        platform::JsonFileUserDefaults defaults(settings.path(), "settings");
        defaults.setFlushScheduler(
            [&flushes](std::function<void()> f) { flushes.push_back(std::move(f)); });
        ShortcutStore store(bundle.bundle(), defaults);
        ASSERT_TRUE(store.submitFeedback("first", ""));
        const std::string before = readFile(settings.path() / "settings.json");

        const std::string pasted(platform::SettingsDocument::kMaxWriteBytes * 3 / 4, 'x');
        EXPECT_FALSE(store.submitFeedback(pasted, ""));
        EXPECT_FALSE(store.submitSoftwareRequest(pasted, "", SoftwareGroup::office));
        flushAll();
        EXPECT_EQ(storedList(defaults, keys::kFeedbackReports).size(), 1u);
        EXPECT_FALSE(defaults.data(keys::kSoftwareRequests));
        EXPECT_EQ(readFile(settings.path() / "settings.json"), before);

        EXPECT_TRUE(store.submitFeedback("second", ""));
        flushAll();
    }
    const platform::JsonFileUserDefaults reread(settings.path(), "settings");
    EXPECT_FALSE(reread.movedAsidePath());
    const json stored = storedList(reread, keys::kFeedbackReports);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1]["message"], "second");
}

// Unreadable bytes copied aside for a submission that then fails are taken
// back out: left in memory they would weigh twice in every later write, and a
// file refused for its size would stay refused.
TEST(SubmissionResult, AFailedSubmissionTakesBackItsCopyOfUnreadableBytes) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("figma")});
    testing::TempDir settings;
    platform::JsonFileUserDefaults defaults(settings.path(), "settings");
    ShortcutStore store(bundle.bundle(), defaults);
    const platform::Data unreadable(platform::SettingsDocument::kMaxWriteBytes / 2, '[');
    defaults.setData(keys::kFeedbackReports, unreadable);
    ASSERT_TRUE(defaults.lastWriteSucceeded());

    // Too large beside the unreadable bytes; once they are back under their
    // key, a copy of them elsewhere would be too large as well.
    EXPECT_FALSE(
        store.submitFeedback(std::string(platform::SettingsDocument::kMaxWriteBytes / 2, 'x'), ""));
    EXPECT_FALSE(defaults.object(keys::kUnreadableFeedbackReports));
    EXPECT_EQ(defaults.data(keys::kFeedbackReports), unreadable);
    store.toggleTheme();
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(platform::JsonFileUserDefaults(settings.path(), "settings").string(keys::kTheme),
              "light");
}

TEST(StoredSubmissionsFormat, RoundTripKeepsIdsAndDates) {
    std::vector<detail::StoredFeedbackReport> reports;
    for (double t : {0.0, 739000000.123456789, -1.5e-7, 1e15 + 0.25}) {
        reports.push_back(
            {platform::Uuid::random(), "m\u00e9ss\"age\n", "c", "figma", "zh", platform::Date{t}});
    }
    const auto data = detail::encode(reports);
    ASSERT_TRUE(data);
    EXPECT_EQ(detail::decodeFeedbackReports(*data), reports);

    std::vector<detail::StoredSoftwareRequest> requests{
        {platform::Uuid::random(), "dataAI", "name", "", platform::Date{1.0 / 3.0}}};
    const auto requestData = detail::encode(requests);
    ASSERT_TRUE(requestData);
    EXPECT_EQ(detail::decodeSoftwareRequests(*requestData), requests);
    EXPECT_FALSE(detail::decodeSoftwareRequests(bytes("[1]")));
    EXPECT_FALSE(detail::decodeSoftwareRequests(bytes("")));
}

TEST(StoredSubmissionsFormat, TextThatCannotBeEncodedIsNotStored) {
    std::vector<detail::StoredSoftwareRequest> requests{
        {platform::Uuid::random(), "office", "bad \xFF bytes", "", platform::Date{}}};
    EXPECT_FALSE(detail::encode(requests));
}

}  // namespace
}  // namespace corvanta
