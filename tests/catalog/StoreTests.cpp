// The store's construction, catalog tables, selection, settings, favourites
// and their persistence.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "catalog/SettingsKeys.h"
#include "catalog/ShortcutStore.h"

namespace corvanta {
namespace {

using testing::category;
using testing::item;
using testing::Json;

// In-memory settings that remember which keys were written.
class RecordingDefaults final : public platform::UserDefaults {
public:
    std::optional<platform::DefaultsValue> object(std::string_view key) const override {
        return memory.object(key);
    }
    void set(std::string_view key, platform::DefaultsValue value) override {
        writes.emplace_back(key);
        memory.set(key, std::move(value));
    }
    void removeObject(std::string_view key) override { memory.removeObject(key); }

    platform::MemoryUserDefaults memory;
    std::vector<std::string> writes;
};

Json twoCategoryPack(const std::string& id) {
    return testing::pack(id,
                         {category("file",
                                   {item("save", {"⌘", "S"}, "保存", "Save"),
                                    item("open", {"⌘", "O"}, "打开", "Open")},
                                   "文件", "File"),
                          category("view", {item("zoom", {"Z"}, "缩放", "Zoom")}, "视图", "View")});
}

TEST(StoreConstruction, DefaultsOnFirstStart) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("sketch"), testing::simplePack("figma")});
    RecordingDefaults defaults;
    ShortcutStore store(bundle.bundle(), defaults);
    EXPECT_EQ(store.selectedSoftwareID.get(), "figma");
    EXPECT_EQ(store.language.get(), AppLanguage::en);
    EXPECT_EQ(defaults.string(keys::kLanguage), "en");
    EXPECT_EQ(defaults.boolean(keys::kEnglishDefault), true);
    EXPECT_EQ(store.theme.get(), AppTheme::dark);
    EXPECT_TRUE(store.isPinned.get());
    EXPECT_TRUE(store.favorites->empty());
    EXPECT_EQ(store.selectedCategoryID.get(), "all");
    EXPECT_FALSE(store.loadError->has_value());
    EXPECT_TRUE(store.dataWarnings->empty());
    EXPECT_EQ(&store.defaults(), &defaults);
    // "figma" names a loaded pack, so nothing is written for the selection.
    EXPECT_EQ(std::count(defaults.writes.begin(), defaults.writes.end(), keys::kSoftware), 0);
}

TEST(StoreConstruction, MistypedSettingsFallBack) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("sketch")});
    RecordingDefaults defaults;
    defaults.memory.setString(keys::kTheme, "Light");
    defaults.memory.setString(keys::kPinned, "false");
    defaults.memory.setString(keys::kFavorites, "sketch:s");
    ShortcutStore store(bundle.bundle(), defaults);
    EXPECT_EQ(store.theme.get(), AppTheme::dark);
    EXPECT_TRUE(store.isPinned.get());
    EXPECT_TRUE(store.favorites->empty());
    // No pack "figma": the first pack is selected and saved.
    EXPECT_EQ(store.selectedSoftwareID.get(), "sketch");
    EXPECT_EQ(defaults.string(keys::kSoftware), "sketch");
}

TEST(StoreConstruction, SavedValuesAreRead) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("sketch"), testing::simplePack("word")});
    platform::MemoryUserDefaults defaults;
    defaults.setString(keys::kSoftware, "word");
    defaults.setString(keys::kTheme, "light");
    defaults.setBool(keys::kPinned, false);
    defaults.setBool(keys::kEnglishDefault, true);
    defaults.setString(keys::kLanguage, "zh");
    // Gone: a pack that is not loaded, an item the pack lacks, a key that
    // names no item at all.
    defaults.setStringArray(keys::kFavorites,
                            {"word:s", "gone:x", "word:gone", "word", "word:s:x"});
    ShortcutStore store(bundle.bundle(), defaults);
    EXPECT_EQ(store.selectedSoftwareID.get(), "word");
    EXPECT_EQ(store.theme.get(), AppTheme::light);
    EXPECT_FALSE(store.isPinned.get());
    EXPECT_EQ(store.language.get(), AppLanguage::zh);
    // A load without warnings prunes favourites whose shortcut is gone.
    EXPECT_EQ(store.favorites.get(), FavoriteSet{"word:s"});
    EXPECT_EQ(defaults.stringArray(keys::kFavorites), std::vector<std::string>{"word:s"});
}

TEST(StoreConstruction, FavouritesOfPackIdsWithAColonAreKept) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("team:chat"), testing::simplePack("team")});
    platform::MemoryUserDefaults defaults;
    defaults.setStringArray(keys::kFavorites, {"team:chat:s", "team:s", "team:chat:gone"});
    ShortcutStore store(bundle.bundle(), defaults);
    EXPECT_EQ(store.favorites.get(), (FavoriteSet{"team:chat:s", "team:s"}));
}

TEST(StoreConstruction, WarningsKeepStaleFavorites) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("word"),
                     testing::pack("bad", {category("c", {item("x", {}, "甲", "A")})})});
    platform::MemoryUserDefaults defaults;
    defaults.setStringArray(keys::kFavorites, {"gone:x", "word:s"});
    ShortcutStore store(bundle.bundle(), defaults);
    EXPECT_EQ(store.dataWarnings->size(), 2u);
    EXPECT_EQ(store.favorites.get(), (FavoriteSet{"gone:x", "word:s"}));
}

TEST(StoreConstruction, NothingLoadedBecomesTheLoadError) {
    {
        testing::TempBundle bundle;
        platform::MemoryUserDefaults defaults;
        defaults.setString(keys::kSoftware, "nothing");
        ShortcutStore store(bundle.bundle(), defaults);
        ASSERT_TRUE(store.loadError->has_value());
        EXPECT_EQ(
            std::count(store.loadError->value().begin(), store.loadError->value().end(), '\n'), 10);
        EXPECT_EQ(store.loadError->value().substr(0, 50),
                  "shortcuts-mac.json is missing from the app bundle.");
        EXPECT_EQ(store.dataWarnings->size(), 11u);
        EXPECT_TRUE(store.software->empty());
        EXPECT_EQ(store.selectedSoftwareID.get(), "nothing");
        EXPECT_EQ(store.selectedSoftware(), nullptr);
        EXPECT_TRUE(store.filteredSections().empty());
        EXPECT_EQ(store.shownCount(), 0);
    }
    {
        testing::TempBundle bundle;
        bundle.writeAll({});
        platform::MemoryUserDefaults defaults;
        ShortcutStore store(bundle.bundle(), defaults);
        EXPECT_EQ(store.loadError.get(), std::optional<std::string>(""));
        EXPECT_TRUE(store.dataWarnings->empty());
        EXPECT_FALSE(defaults.string(keys::kSoftware));
    }
}

TEST(StoreTables, BundleIdentifierPrecedence) {
    testing::TempBundle bundle;
    Json figma = testing::simplePack("figma");
    Json other = testing::simplePack("figjam");
    other["bundleIdentifiers"] = {"COM.Figma.Desktop", "com.figma.jam"};
    Json word = testing::simplePack("word");
    word["bundleIdentifiers"] = {"org.example.Writer"};
    Json wordOverlay = testing::simplePack("word");
    wordOverlay["bundleIdentifiers"] = Json::array();
    bundle.writeAll({figma, other, word});
    bundle.write("extended-shortcuts-mac", testing::library({wordOverlay}));
    platform::MemoryUserDefaults defaults;
    ShortcutStore store(bundle.bundle(), defaults);

    const auto& table = store.softwareIDByBundleIdentifier();
    EXPECT_EQ(table.at("com.figma.desktop"), "figjam");
    EXPECT_EQ(table.at("com.figma.jam"), "figjam");
    EXPECT_EQ(table.at("com.microsoft.word"), "word");   // fallback row stays
    EXPECT_FALSE(table.contains("org.example.writer"));  // removed by the empty overlay list
    EXPECT_EQ(table.at("com.apple.finder"), "finder");   // even without a pack "finder"
    EXPECT_EQ(ShortcutStore::fallbackSoftwareIDByBundleIdentifier().size(), 35u);
    EXPECT_EQ(table.size(), 36u);

    EXPECT_TRUE(store.selectSoftwareMatchingBundleIdentifier("COM.FIGMA.JAM"));
    EXPECT_EQ(store.selectedSoftwareID.get(), "figjam");
    EXPECT_FALSE(store.selectSoftwareMatchingBundleIdentifier("com.figma.jam"));
    EXPECT_FALSE(store.selectSoftwareMatchingBundleIdentifier("com.apple.finder"));  // no such pack
    EXPECT_EQ(store.selectedSoftwareID.get(), "figjam");
    EXPECT_FALSE(store.selectSoftwareMatchingBundleIdentifier("org.unknown"));
    store.isExpanded = true;
    EXPECT_FALSE(store.selectSoftwareMatchingBundleIdentifier("com.microsoft.word"));
    EXPECT_EQ(store.selectedSoftwareID.get(), "figjam");
    store.isExpanded = false;
    EXPECT_TRUE(store.selectSoftwareMatchingBundleIdentifier("com.microsoft.word"));
    EXPECT_EQ(defaults.string(keys::kSoftware), "word");
}

TEST(StoreTables, PickerSectionsFollowGroupThenCatalogOrder) {
    testing::TempBundle bundle;
    Json git = testing::simplePack("git");
    git["group"] = "versionControl";
    bundle.writeAll({testing::simplePack("zed"), testing::simplePack("figma"), git,
                     testing::simplePack("excel"), testing::simplePack("sketch"),
                     testing::simplePack("other2")});
    platform::MemoryUserDefaults defaults;
    ShortcutStore store(bundle.bundle(), defaults);
    const auto& sections = store.groupedSoftwareCache();
    std::vector<std::pair<SoftwareGroup, std::vector<std::string>>> seen;
    for (const auto& s : sections) {
        std::vector<std::string> ids;
        for (const auto* p : s.software) ids.push_back(p->id);
        seen.emplace_back(s.group, ids);
    }
    using G = SoftwareGroup;
    EXPECT_EQ(seen, (decltype(seen){{G::office, {"excel"}},
                                    {G::design, {"figma", "sketch"}},
                                    {G::versionControl, {"git"}},
                                    {G::other, {"zed", "other2"}}}));
    EXPECT_EQ(store.softwareByID().size(), 6u);
    EXPECT_EQ(store.softwareByID().at("git")->declaredGroup, G::versionControl);
}

class SelectionTest : public ::testing::Test {
protected:
    SelectionTest() {
        bundle.writeAll({twoCategoryPack("figma"), twoCategoryPack("sketch")});
        store = std::make_unique<ShortcutStore>(bundle.bundle(), defaults);
    }
    testing::TempBundle bundle;
    RecordingDefaults defaults;
    std::unique_ptr<ShortcutStore> store;
};

TEST_F(SelectionTest, SelectingTheCurrentPackAnnouncesOnlyWhatChanged) {
    store->selectCategory("view");
    store->query = std::string("zoom");
    std::vector<std::string> announced;
    int willChange = 0;
    std::vector<platform::Connection> connections;
    connections.push_back(store->objectWillChange.connect([&] { ++willChange; }));
    connections.push_back(store->selectedSoftwareID.willSet.connect(
        [&](const std::string&) { announced.push_back("selectedSoftwareID"); }));
    connections.push_back(store->selectedCategoryID.willSet.connect(
        [&](const std::string& v) { announced.push_back("selectedCategoryID=" + v); }));
    connections.push_back(
        store->favoriteOnly.willSet.connect([&](bool) { announced.push_back("favoriteOnly"); }));
    connections.push_back(store->query.willSet.connect(
        [&](const std::string& v) { announced.push_back("query=" + v); }));
    defaults.writes.clear();

    store->selectSoftware("figma");
    EXPECT_EQ(announced, (std::vector<std::string>{"selectedCategoryID=all", "query="}));
    EXPECT_EQ(willChange, 2);
    EXPECT_TRUE(defaults.writes.empty());

    announced.clear();
    store->selectSoftware("figma");
    EXPECT_TRUE(announced.empty());

    store->favoriteOnly = true;
    announced.clear();
    store->selectSoftware("sketch");
    EXPECT_EQ(announced, (std::vector<std::string>{"selectedSoftwareID", "favoriteOnly"}));
    EXPECT_EQ(defaults.writes, std::vector<std::string>{"CorvantaSoftware"});

    announced.clear();
    store->selectSoftware("unknown");
    EXPECT_TRUE(announced.empty());
    EXPECT_EQ(store->selectedSoftwareID.get(), "sketch");
}

TEST_F(SelectionTest, SelectCategory) {
    store->selectCategory("view");
    EXPECT_EQ(store->selectedCategoryID.get(), "view");
    store->selectCategory("missing");
    EXPECT_EQ(store->selectedCategoryID.get(), "all");
    store->selectCategory("file");
    int writes = 0;
    auto connection =
        store->selectedCategoryID.willSet.connect([&](const std::string&) { ++writes; });
    store->selectCategory("file");
    EXPECT_EQ(writes, 0);
}

TEST_F(SelectionTest, TogglesAlwaysWriteAndSave) {
    int announcements = 0;
    auto connection = store->objectWillChange.connect([&] { ++announcements; });
    store->toggleLanguage();
    EXPECT_EQ(store->language.get(), AppLanguage::zh);
    EXPECT_EQ(defaults.string(keys::kLanguage), "zh");
    store->toggleLanguage();
    EXPECT_EQ(defaults.string(keys::kLanguage), "en");
    store->toggleTheme();
    EXPECT_EQ(defaults.string(keys::kTheme), "light");
    store->toggleTheme();
    EXPECT_EQ(defaults.string(keys::kTheme), "dark");
    EXPECT_EQ(announcements, 4);

    defaults.writes.clear();
    store->setPinned(true);  // already pinned
    EXPECT_TRUE(defaults.writes.empty());
    EXPECT_EQ(announcements, 4);
    store->setPinned(false);
    EXPECT_EQ(defaults.boolean(keys::kPinned), false);
    EXPECT_EQ(announcements, 5);
}

TEST_F(SelectionTest, ToggleFavoriteTwiceRestoresTheSet) {
    const ShortcutItem& zoom = store->selectedSoftware()->categories[1].items[0];
    store->toggleFavorite(zoom);
    EXPECT_EQ(store->favorites.get(), FavoriteSet{"figma:zoom"});
    EXPECT_EQ(defaults.stringArray(keys::kFavorites), std::vector<std::string>{"figma:zoom"});
    store->toggleFavorite(store->selectedSoftware()->categories[0].items[0]);
    EXPECT_EQ(defaults.stringArray(keys::kFavorites),
              (std::vector<std::string>{"figma:save", "figma:zoom"}));
    defaults.writes.clear();
    store->toggleFavorite(zoom);
    store->toggleFavorite(zoom);
    EXPECT_EQ(store->favorites.get(), (FavoriteSet{"figma:save", "figma:zoom"}));
    EXPECT_EQ(defaults.writes, std::vector<std::string>(2, "CorvantaFavorites"));
}

TEST_F(SelectionTest, ResultTitle) {
    EXPECT_EQ(store->resultTitle(), "All shortcuts");
    store->selectCategory("view");
    EXPECT_EQ(store->resultTitle(), "View");
    store->toggleLanguage();
    EXPECT_EQ(store->resultTitle(), "视图");
    store->favoriteOnly = true;
    EXPECT_EQ(store->resultTitle(), "已收藏快捷键");
    store->query = std::string("  \n");
    EXPECT_EQ(store->resultTitle(), "已收藏快捷键");
    store->query = std::string(" zoom");
    EXPECT_EQ(store->resultTitle(), "搜索结果 · “ zoom”");
    store->toggleLanguage();
    EXPECT_EQ(store->resultTitle(), "Search results · “ zoom”");
    store->query = std::string();
    EXPECT_EQ(store->resultTitle(), "Favorite shortcuts");
    store->favoriteOnly = false;
    store->selectedCategoryID = std::string("stale");
    EXPECT_EQ(store->resultTitle(), "All shortcuts");
}

TEST(StorePersistence, RoundTripThroughTheSettingsFile) {
    testing::TempBundle bundle;
    bundle.writeAll({twoCategoryPack("figma"), twoCategoryPack("sketch")});
    testing::TempDir settings;
    {
        platform::JsonFileUserDefaults defaults(settings.path(), "test-domain");
        ShortcutStore store(bundle.bundle(), defaults);
        store.selectSoftware("sketch");
        store.toggleLanguage();
        store.toggleTheme();
        store.setPinned(false);
        store.toggleFavorite(store.selectedSoftware()->categories[0].items[1]);
        defaults.synchronize();
    }
    platform::JsonFileUserDefaults defaults(settings.path(), "test-domain");
    ShortcutStore store(bundle.bundle(), defaults);
    EXPECT_EQ(store.selectedSoftwareID.get(), "sketch");
    EXPECT_EQ(store.language.get(), AppLanguage::zh);
    EXPECT_EQ(store.theme.get(), AppTheme::light);
    EXPECT_FALSE(store.isPinned.get());
    EXPECT_EQ(store.favorites.get(), FavoriteSet{"sketch:open"});
}

}  // namespace
}  // namespace corvanta
