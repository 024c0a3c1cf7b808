// The search index, the match rule, scores, ranking and the result cache.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "catalog/SearchScoring.h"
#include "catalog/ShortcutStore.h"

namespace corvanta {
namespace {

using testing::category;
using testing::item;
using testing::Json;

std::vector<std::string> listed(const std::vector<ShortcutSection>& sections) {
    std::vector<std::string> out;
    for (const auto& s : sections) {
        for (const auto& i : s.items) out.push_back(s.category.id + "/" + i.id);
    }
    return out;
}

class FilterTest : public ::testing::Test {
protected:
    FilterTest() {
        Json pack = testing::pack(
            "figma", {category("file",
                               {item("save", {"⌘", "S"}, "保存", "Save", {"write"}),
                                item("saveas", {"⌘", "⇧", "S"}, "另存为", "Save as"),
                                item("kern", {"⌥", "K"}, "字距", "Kerning")},
                               "文件", "File"),
                      category("view",
                               {item("zoomin", {"⌘", "+"}, "放大", "Zoom in"),
                                item("zoomout", {"⌘", "-"}, "缩小", "Zoom out", {"save space"}),
                                item("quick", {"⌃", "K"}, "快速操作", "Quick actions")},
                               "视图", "View"),
                      category("other", {item("s", {"S"}, "选择", "Select")}, "其他", "Other")});
        pack["categories"][0]["items"][1]["keysZh"] = Json::array();
        bundle.writeAll({pack, testing::simplePack("sketch")});
        store = std::make_unique<ShortcutStore>(bundle.bundle(), defaults);
    }

    std::vector<std::string> search(const std::string& text) {
        store->query = text;
        return listed(store->filteredSections());
    }

    testing::TempBundle bundle;
    platform::MemoryUserDefaults defaults;
    std::unique_ptr<ShortcutStore> store;
};

TEST_F(FilterTest, SearchDocumentFields) {
    const SearchDocument& doc = store->searchDocuments().at("figma:saveas");
    EXPECT_EQ(doc.titleVariants()[0], "另存为");
    EXPECT_EQ(doc.titleVariants()[1], "save as");
    EXPECT_EQ(doc.keyVariants(), (std::vector<std::string_view>{"", "cmd shift s"}));
    EXPECT_EQ(doc.title(), "另存为 save as");
    EXPECT_EQ(doc.keys(), " cmd shift s");
    EXPECT_EQ(doc.tags(), "");
    EXPECT_EQ(doc.category(), "文件 file");
    EXPECT_EQ(doc.haystack, "另存为 save as  cmd shift s  文件 file");
    EXPECT_EQ(doc.tokens(), (std::vector<std::string_view>{"as", "cmd", "file", "s", "save",
                                                           "shift", "另存为", "文件"}));
    const SearchDocument& save = store->searchDocuments().at("figma:save");
    EXPECT_EQ(save.keyVariants(), std::vector<std::string_view>{"cmd s"});
    EXPECT_EQ(save.tags(), "write");
    EXPECT_TRUE(doc.hasToken("s"));
    EXPECT_TRUE(doc.hasToken("shift"));
    EXPECT_FALSE(doc.hasToken("a"));
    EXPECT_FALSE(doc.hasToken("shif"));
    EXPECT_EQ(store->searchDocuments().size(), 8u);
    EXPECT_TRUE(store->searchDocuments().contains("sketch:s"));
}

TEST_F(FilterTest, NoQueryKeepsCatalogOrder) {
    EXPECT_EQ(search(""),
              (std::vector<std::string>{"file/save", "file/saveas", "file/kern", "view/zoomin",
                                        "view/zoomout", "view/quick", "other/s"}));
    // A query that normalises to nothing filters nothing.
    EXPECT_EQ(search("???").size(), 7u);
    EXPECT_EQ(store->shownCount(), 7);
}

TEST_F(FilterTest, OneLetterTokensMatchWholeWordsOnly) {
    EXPECT_EQ(search("k"), (std::vector<std::string>{"file/kern", "view/quick"}));
    // "ctrl" becomes "control", found as a word of the key text.
    EXPECT_EQ(search("ctrl"), std::vector<std::string>{"view/quick"});
    EXPECT_EQ(search("ctrl k"), std::vector<std::string>{"view/quick"});
    EXPECT_EQ(search("ctrl s"), std::vector<std::string>{});
    EXPECT_EQ(search("zoo"), (std::vector<std::string>{"view/zoomin", "view/zoomout"}));
}

TEST_F(FilterTest, ScoresRankItemsAndSections) {
    // "save": title equal for save (1000) beats title prefix for saveas (800);
    // zoomout only through its tag (300); the sections follow their best item.
    EXPECT_EQ(search("save"),
              (std::vector<std::string>{"file/save", "file/saveas", "view/zoomout"}));
    // Keys equal to the query outrank titles: "cmd s" is exactly save's keys.
    EXPECT_EQ(search("⌘S"), (std::vector<std::string>{"file/save", "file/saveas"}));
    // A section is placed by its best item; equal item scores keep catalog order.
    EXPECT_EQ(search("s"), (std::vector<std::string>{"other/s", "file/save", "file/saveas"}));

    const auto& docs = store->searchDocuments();
    const auto tokens = [](std::initializer_list<std::string_view> t) {
        return std::vector<std::string_view>(t);
    };
    EXPECT_EQ(detail::searchScore(docs.at("figma:save"), "save", tokens({"save"})), 1000 + 40);
    EXPECT_EQ(detail::searchScore(docs.at("figma:save"), "cmd s", tokens({"cmd", "s"})),
              1200 + 35 + 40 + 35);
    EXPECT_EQ(detail::searchScore(docs.at("figma:zoomout"), "save", tokens({"save"})), 300 + 15);
    EXPECT_EQ(detail::searchScore(docs.at("figma:saveas"), "file", tokens({"file", "file"})), 150);
    EXPECT_EQ(detail::searchScore(docs.at("figma:zoomin"), "cmd", tokens({"cmd"})), 900 + 35);
    EXPECT_EQ(detail::searchScore(docs.at("figma:zoomin"), "plus", tokens({"plus"})), 700 + 35);
    EXPECT_EQ(detail::searchScore(docs.at("figma:zoomin"), "zoom in", tokens({"zoom", "in"})),
              1000 + 40 + 40);
    EXPECT_TRUE(detail::tokenMatches("放大", docs.at("figma:zoomin")));
    EXPECT_FALSE(detail::tokenMatches("i", docs.at("figma:zoomin")));
}

TEST_F(FilterTest, CategoryAndFavouriteFilters) {
    store->selectCategory("view");
    EXPECT_EQ(search("").size(), 3u);
    store->selectedCategoryID = std::string("gone");
    EXPECT_EQ(search("").size(), 7u);
    store->selectedCategoryID = std::string("all");

    store->favoriteOnly = true;
    EXPECT_TRUE(search("").empty());
    store->toggleFavorite(store->selectedSoftware()->categories[1].items[2]);
    EXPECT_EQ(search(""), std::vector<std::string>{"view/quick"});
    EXPECT_EQ(search("save"), std::vector<std::string>{});
}

TEST_F(FilterTest, CacheHitsAndMisses) {
    store->favoriteOnly = true;
    store->query = std::string("zoom");
    EXPECT_TRUE(store->filteredSections().empty());
    // Writing the set directly bypasses the revision, so the cached (now stale)
    // result shows which reads were served from the cache.
    store->favorites = FavoriteSet{"figma:zoomin"};
    EXPECT_TRUE(store->filteredSections().empty());
    store->query = std::string("  ZOOM!! ");  // normalises to the same query
    EXPECT_TRUE(store->filteredSections().empty());
    store->query = std::string("zoom in");
    EXPECT_EQ(listed(store->filteredSections()), std::vector<std::string>{"view/zoomin"});

    store->query = std::string("zoom");
    EXPECT_EQ(listed(store->filteredSections()), std::vector<std::string>{"view/zoomin"});
    store->toggleFavorite(store->selectedSoftware()->categories[1].items[1]);
    EXPECT_EQ(listed(store->filteredSections()),
              (std::vector<std::string>{"view/zoomin", "view/zoomout"}));
    store->selectSoftware("sketch");
    EXPECT_EQ(listed(store->filteredSections()), std::vector<std::string>{"main/s"});
}

TEST_F(FilterTest, MegabyteQueriesAreSearchedWholeAfterEveryChange) {
    std::string words;
    while (words.size() < 1'000'000) words += "zoom ";
    for (const char* last : {"save", "quick", "in", ""}) {
        const std::string query = words + last;
        ShortcutStore fresh(bundle.bundle(), defaults);
        fresh.query = query;
        EXPECT_EQ(search(query), listed(fresh.filteredSections())) << "last word: " << last;
    }
    // Only the last word tells these apart.
    EXPECT_NE(search(words + "save"), search(words + "quick"));
}

TEST(FilterMergedIds, SameItemIdInTwoCategoriesSharesOneKey) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::pack("app", {category("a", {item("x", {"A"}, "甲", "Alpha")})})});
    bundle.write("extended-shortcuts-mac",
                 testing::library(
                     {testing::pack("app", {category("b", {item("x", {"B"}, "乙", "Beta")})})}));
    platform::MemoryUserDefaults defaults;
    ShortcutStore store(bundle.bundle(), defaults);
    ASSERT_EQ(store.selectedSoftware()->categories.size(), 2u);
    EXPECT_EQ(store.searchDocuments().at("app:x").titleVariants()[1], "beta");

    // Both items are matched with the later item's document.
    store.query = std::string("beta");
    EXPECT_EQ(listed(store.filteredSections()), (std::vector<std::string>{"a/x", "b/x"}));
    store.query = std::string("alpha");
    EXPECT_TRUE(store.filteredSections().empty());

    store.query = std::string();
    store.toggleFavorite(store.selectedSoftware()->categories[0].items[0]);
    store.favoriteOnly = true;
    EXPECT_EQ(listed(store.filteredSections()), (std::vector<std::string>{"a/x", "b/x"}));
}

}  // namespace
}  // namespace corvanta
