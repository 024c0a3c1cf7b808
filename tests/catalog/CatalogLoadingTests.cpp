// Validation sentences, merging, and reading the eleven files in order with
// their replace or merge flags.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "catalog/CatalogDecoder.h"
#include "catalog/CatalogLoading.h"
#include "catalog/CatalogPreload.h"
#include "catalog/SearchScoring.h"
#include "catalog/ShortcutStore.h"

namespace corvanta {
namespace {

using testing::category;
using testing::item;
using testing::Json;
using Warnings = std::vector<std::string>;

SoftwarePack decodePack(const Json& json) {
    CatalogDecoder decoder;
    auto result = decoder.decode(testing::library({json}).dump());
    EXPECT_TRUE(result.ok()) << result.error;
    return result.library->software.at(0);
}

std::optional<SoftwarePack> sanitize(const Json& json, Warnings& warnings) {
    return detail::sanitized(decodePack(json), "extended-shortcuts-mac", warnings);
}

std::vector<std::string> itemIDs(const ShortcutCategory& c) {
    std::vector<std::string> ids;
    for (const auto& i : c.items) ids.push_back(i.id);
    return ids;
}

TEST(Sanitize, BlankIdOrNameDropsThePack) {
    Warnings warnings;
    EXPECT_FALSE(sanitize(testing::simplePack(" "), warnings));
    EXPECT_FALSE(sanitize(testing::simplePack("a", "\u3000\n"), warnings));
    Json catalogOnly = testing::pack("a", {}, " ");
    catalogOnly["dataStatus"] = "catalogOnly";
    EXPECT_FALSE(sanitize(catalogOnly, warnings));
    EXPECT_EQ(warnings, Warnings(3,
                                 "extended-shortcuts-mac.json contains a software pack with an "
                                 "empty id or name."));
}

TEST(Sanitize, CatalogOnlyWithoutCategoriesPassesUnchanged) {
    Warnings warnings;
    Json p = testing::pack(" padded ", {}, "Name");
    p["dataStatus"] = "catalogOnly";
    const auto result = sanitize(p, warnings);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->id, " padded ");  // the trimmed form is only for the test
    EXPECT_TRUE(warnings.empty());

    p["dataStatus"] = "curated";
    EXPECT_FALSE(sanitize(p, warnings));
    EXPECT_EQ(warnings, Warnings{"extended-shortcuts-mac.json:  padded  contains no valid shortcut "
                                 "categories."});
}

TEST(Sanitize, SentencesInOrderAndWhatIsKept) {
    const Json p = testing::pack(
        "app",
        {category("edit",
                  {item("ok", {"⌘", "C"}, "复制", "Copy"), item("", {"A"}, "甲", "A"),
                   item("ok", {"B"}, "乙", "B"), item("nokeys", {}, "丙", "C"),
                   item("blank", {"D"}, "丁", " \t "), item("win", {"WINDOWS", "E"}, "戊", "E"),
                   item("win2", {"Ctrl", "shift+windows key"}, "己", "F"),
                   item("logo", {"⊞"}, "庚", "G"), item("emptykey", {"", "H"}, "辛", "H"),
                   item("win3", {"Win", "⊞+R"}, "壬", "I")}),
         category("edit", {item("dup", {"A"}, "甲", "A")}),
         category("", {item("x", {"A"}, "甲", "A")}),
         category("allbad", {item("win", {"A"}, "甲", "A")}),
         category(" ", {item("space", {"A"}, "甲", "A")})});
    Warnings warnings;
    const auto result = sanitize(p, warnings);
    ASSERT_TRUE(result);
    const std::string f = "extended-shortcuts-mac.json: app";
    EXPECT_EQ(warnings, (Warnings{
                            f + " has a duplicate or empty shortcut id ''.",
                            f + " has a duplicate or empty shortcut id 'ok'.",
                            f + "/nokeys has an empty key or title.",
                            f + "/blank has an empty key or title.",
                            f + "/win contains a Windows-only key and was skipped.",
                            f + "/win2 contains a Windows-only key and was skipped.",
                            f + "/logo contains a Windows-only key and was skipped.",
                            f + " has a duplicate or empty category id 'edit'.",
                            f + " has a duplicate or empty category id ''.",
                            // the skipped Windows item still holds its id
                            f + " has a duplicate or empty shortcut id 'win'.",
                        }));
    ASSERT_EQ(result->categories.size(), 2u);
    EXPECT_EQ(itemIDs(result->categories[0]), (std::vector<std::string>{"ok", "emptykey", "win3"}));
    EXPECT_EQ(result->categories[1].id, " ");
}

TEST(Sanitize, DroppedCategoryStillHoldsItsId) {
    const Json p = testing::pack("app", {category("c", {item("a", {}, "甲", "A")}),
                                         category("c", {item("b", {"B"}, "乙", "B")}),
                                         category("d", {item("c", {"C"}, "丙", "C")})});
    Warnings warnings;
    const auto result = sanitize(p, warnings);
    ASSERT_TRUE(result);
    EXPECT_EQ(warnings, (Warnings{"extended-shortcuts-mac.json: app/a has an empty key or title.",
                                  "extended-shortcuts-mac.json: app has a duplicate or empty "
                                  "category id 'c'."}));
    ASSERT_EQ(result->categories.size(), 1u);
    EXPECT_EQ(result->categories[0].id, "d");
}

TEST(Sanitize, ACategoryWithNoItemsDropsSilentlyWhenNothingElseDoes) {
    const Json p =
        testing::pack("app", {category("c3", {item("a", {"A"}, "甲", "A")}), category("c1", {})});
    Warnings warnings;
    const auto result = sanitize(p, warnings);
    ASSERT_TRUE(result);
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(result->categories.size(), 1u);
    EXPECT_EQ(result->categories[0].id, "c3");
    EXPECT_EQ(itemIDs(result->categories[0]), std::vector<std::string>{"a"});
}

TEST(Merge, OverlayScalarsAndCombinedCategories) {
    Json baseJson = testing::pack(
        "figma",
        {category("file",
                  {item("save", {"S"}, "保存", "Save"), item("open", {"O"}, "打开", "Open")},
                  "文件", "File"),
         category("view", {item("zoom", {"Z"}, "缩放", "Zoom")})},
        "Figma");
    baseJson["bundleIdentifiers"] = {"com.figma.Desktop"};
    baseJson["group"] = "design";
    baseJson["provenance"] = {{"sourceURL", "base"}, {"coverage", "full"}};
    Json overlayJson = testing::pack("figma",
                                     {category("file",
                                               {item("open", {"⌘", "O"}, "打开文件", "Open file"),
                                                item("close", {"W"}, "关闭", "Close")},
                                               "文件夹", "Files"),
                                      category("extra", {item("x", {"X"}, "叉", "X")})},
                                     "Figma 2");
    overlayJson["bundleIdentifiers"] = Json::array();
    overlayJson["provenance"] = {{"sourceURL", "overlay"}};
    overlayJson["dataStatus"] = "curated";

    const SoftwarePack merged = detail::merge(decodePack(baseJson), decodePack(overlayJson));
    EXPECT_EQ(merged.name, "Figma 2");
    EXPECT_EQ(merged.bundleIdentifiers, std::vector<std::string>{});
    EXPECT_EQ(merged.declaredGroup, SoftwareGroup::design);
    EXPECT_EQ(merged.dataStatus, SoftwareDataStatus::curated);
    ASSERT_TRUE(merged.provenance);
    EXPECT_EQ(merged.provenance->sourceURL, "overlay");
    EXPECT_FALSE(merged.provenance->coverage);  // replaced whole, not field by field

    ASSERT_EQ(merged.categories.size(), 3u);
    EXPECT_EQ(merged.categories[0].en, "Files");
    EXPECT_EQ(itemIDs(merged.categories[0]), (std::vector<std::string>{"save", "open", "close"}));
    EXPECT_EQ(merged.categories[0].items[1].en, "Open file");
    EXPECT_EQ(merged.categories[1].id, "view");
    EXPECT_EQ(merged.categories[2].id, "extra");
}

TEST(Merge, CatalogOnlyOverlayKeepsBaseCategories) {
    SoftwarePack base = decodePack(testing::simplePack("a"));
    base.bundleIdentifiers = std::vector<std::string>{"a.app"};
    SoftwarePack overlay = decodePack(testing::pack("a", {}, "A"));
    overlay.dataStatus = SoftwareDataStatus::catalogOnly;
    const SoftwarePack merged = detail::merge(base, overlay);
    EXPECT_EQ(merged.categories, base.categories);
    EXPECT_EQ(merged.dataStatus, SoftwareDataStatus::catalogOnly);
    EXPECT_EQ(merged.bundleIdentifiers, base.bundleIdentifiers);
}

std::vector<std::string> ids(const std::vector<SoftwarePack>& packs) {
    std::vector<std::string> out;
    for (const auto& p : packs) out.push_back(p.id);
    return out;
}

TEST(LoadCatalog, AllFilesMissing) {
    testing::TempBundle bundle;
    const auto catalog = detail::loadCatalog(bundle.bundle());
    EXPECT_TRUE(catalog.software.empty());
    ASSERT_EQ(catalog.warnings.size(), 11u);
    EXPECT_EQ(catalog.warnings[0], "shortcuts-mac.json is missing from the app bundle.");
    EXPECT_EQ(catalog.warnings[10], "curated-supplements-mac.json is missing from the app bundle.");
}

TEST(LoadCatalog, ReplaceAndMergeAcrossTheElevenFiles) {
    testing::TempBundle bundle;
    const auto v = [](const std::string& itemID, const std::string& en) {
        return item(itemID, {"K"}, "中", en);
    };
    const auto figma = [&](std::vector<Json> items, const std::string& name) {
        return testing::pack("figma", {category("main", std::move(items))}, name);
    };
    bundle.write("shortcuts-mac",
                 testing::library({figma({v("a", "A1")}, "F1"), testing::simplePack("sketch")}));
    bundle.write("office-shortcuts-mac", testing::library({testing::simplePack("word")}));
    bundle.write("professional-shortcuts-mac", testing::library({}));
    bundle.write("productivity-shortcuts-mac", std::string("{\"software\": [ {"));
    bundle.write("ecosystem-shortcuts-mac",
                 testing::library({testing::simplePack("sketch", "Sketch 2")}));
    bundle.write("verified-shortcuts-mac", testing::library({figma({v("b", "B2")}, "F2")}));
    // A later version that fails validation leaves the earlier one alone.
    bundle.write("supplemental-shortcuts-mac",
                 testing::library({testing::simplePack("word", " ")}));
    bundle.write("browser-reviewed-shortcuts-mac",
                 testing::library({testing::simplePack("chrome")}));
    bundle.write("extended-shortcuts-mac",
                 testing::library({figma({v("c", "C3")}, "F3"), figma({v("b", "B3")}, "F3b")}));
    // curated-shortcuts-mac is absent.
    bundle.write("curated-supplements-mac", testing::library({figma({v("d", "D4")}, "F4")}));

    const auto catalog = detail::loadCatalog(bundle.bundle());
    EXPECT_EQ(ids(catalog.software),
              (std::vector<std::string>{"figma", "sketch", "word", "chrome"}));
    const SoftwarePack& f = catalog.software[0];
    EXPECT_EQ(f.name, "F4");
    ASSERT_EQ(f.categories.size(), 1u);
    EXPECT_EQ(itemIDs(f.categories[0]), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(f.categories[0].items[0].en, "B3");
    EXPECT_EQ(catalog.software[1].name, "Sketch 2");
    EXPECT_EQ(catalog.software[2].name, "App");

    ASSERT_EQ(catalog.warnings.size(), 3u);
    EXPECT_EQ(catalog.warnings[0].rfind(
                  "productivity-shortcuts-mac.json could not be loaded: invalid JSON", 0),
              0u)
        << catalog.warnings[0];
    EXPECT_EQ(catalog.warnings[1],
              "supplemental-shortcuts-mac.json contains a software pack with an empty id or name.");
    EXPECT_EQ(catalog.warnings[2], "curated-shortcuts-mac.json is missing from the app bundle.");
}

using SectionIDs = std::vector<std::pair<SoftwareGroup, std::vector<std::string>>>;

// The sections by pack id; a pointer that is not into `packs` fails the test
// and is not followed.
SectionIDs sectionIDs(const std::vector<SoftwareGroupSection>& sections,
                      const std::vector<SoftwarePack>& packs) {
    const std::less<const SoftwarePack*> before;
    SectionIDs out;
    for (const auto& section : sections) {
        std::vector<std::string> members;
        for (const SoftwarePack* pack : section.software) {
            const bool inside = !packs.empty() && !before(pack, packs.data()) &&
                                before(pack, packs.data() + packs.size());
            if (inside)
                members.push_back(pack->id);
            else
                ADD_FAILURE() << "a section points outside the packs";
        }
        out.emplace_back(section.group, std::move(members));
    }
    return out;
}

std::size_t shortcutCount(const std::vector<SoftwarePack>& packs) {
    std::size_t count = 0;
    for (const auto& pack : packs) count += static_cast<std::size_t>(pack.shortcutCount());
    return count;
}

TEST(LoadCatalog, GroupsAndIndexesTheMergedPacksAndKeepsBothOnAMove) {
    testing::TempBundle bundle;
    Json git = testing::simplePack("git");
    git["group"] = "versionControl";
    bundle.writeAll({testing::simplePack("figma"), git, testing::simplePack("sketch")});
    bundle.write("extended-shortcuts-mac",
                 testing::library({testing::pack(
                     "figma", {category("main", {item("later", {"⌘", "L"}, "稍后", "Later")})})}));

    detail::LoadedCatalog catalog = detail::loadCatalog(bundle.bundle());
    const SectionIDs expected{{SoftwareGroup::design, {"figma", "sketch"}},
                              {SoftwareGroup::versionControl, {"git"}}};
    EXPECT_EQ(sectionIDs(catalog.groupedSoftware, catalog.software), expected);
    // The index is built from the merged packs, so it holds the later item.
    EXPECT_EQ(catalog.searchDocuments.size(), shortcutCount(catalog.software));
    EXPECT_TRUE(catalog.searchDocuments.contains("figma:later"));
    EXPECT_EQ(catalog.searchDocuments, detail::buildSearchDocuments(catalog.software));

    // Handing the catalog over, as the read-ahead and the store do, keeps the
    // sections pointing at the packs.
    const detail::LoadedCatalog moved = std::move(catalog);
    EXPECT_EQ(sectionIDs(moved.groupedSoftware, moved.software), expected);
}

TEST(LoadCatalog, OneBadPackFailsItsWholeFile) {
    testing::TempBundle bundle;
    Json broken = testing::simplePack("b");
    broken.erase("glyph");
    bundle.writeAll({testing::simplePack("a")});
    // The blank pack is validated before the broken one is read; its warning
    // goes with the rest of the file.
    bundle.write("extended-shortcuts-mac",
                 testing::library({testing::simplePack("c"), testing::simplePack(" "), broken}));
    const auto catalog = detail::loadCatalog(bundle.bundle());
    EXPECT_EQ(ids(catalog.software), std::vector<std::string>{"a"});
    EXPECT_EQ(catalog.warnings, (Warnings{"extended-shortcuts-mac.json could not be loaded: "
                                          "software[2]: missing required key \"glyph\""}));
}

// A sparse file claims 64 GB without using the disk. Sizing the read buffers
// for it used to throw out of the read-ahead and abort the app.
std::filesystem::path makeSparse(const testing::TempBundle& bundle, const std::string& resource) {
    const auto path =
        bundle.bundle().resourceRoot() / detail::kCatalogSubdirectory / (resource + ".json");
    std::filesystem::resize_file(path, std::uintmax_t(64) << 30);
    return path;
}

const std::string kSparseWarning =
    "extended-shortcuts-mac.json could not be loaded: the file could not be read: larger than "
    "the limit of 67108864 bytes";

TEST(LoadCatalog, AHugeFileIsSkippedWithAWarningAndTheOthersLoad) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("a")});
    makeSparse(bundle, "extended-shortcuts-mac");
    const auto catalog = detail::loadCatalog(bundle.bundle());
    EXPECT_EQ(ids(catalog.software), std::vector<std::string>{"a"});
    EXPECT_EQ(catalog.warnings, Warnings{kSparseWarning});
}

TEST(CatalogPreload, AHugeFileOnTheWorkerBecomesAWarningOfTheStore) {
    testing::TempBundle bundle;
    bundle.writeAll({testing::simplePack("a")});
    makeSparse(bundle, "extended-shortcuts-mac");
    CatalogPreload preload(bundle.bundle());
    platform::MemoryUserDefaults defaults;
    const ShortcutStore store(bundle.bundle(), defaults, &preload);
    EXPECT_EQ(ids(store.software.get()), std::vector<std::string>{"a"});
    EXPECT_EQ(store.dataWarnings.get(), Warnings{kSparseWarning});
}

TEST(CatalogPreload, HandsOverItsBundleOnceAndReadsEverythingElseNow) {
    testing::TempBundle first;
    testing::TempBundle second;
    first.writeAll({testing::simplePack("a")});
    second.writeAll({testing::simplePack("b")});
    CatalogPreload preload(first.bundle());

    // Another bundle is read as asked, and leaves the read-ahead in place.
    EXPECT_EQ(ids(preload.take(second.bundle()).software), std::vector<std::string>{"b"});
    EXPECT_EQ(ids(preload.take(first.bundle()).software), std::vector<std::string>{"a"});
    // Once handed over, the files are read afresh.
    first.writeAll({testing::simplePack("c")});
    EXPECT_EQ(ids(preload.take(first.bundle()).software), std::vector<std::string>{"c"});
}

TEST(CatalogPreload, StoreFromTheReadAheadMatchesOneThatReadsItself) {
    testing::TempBundle bundle;
    bundle.writeAll(
        {testing::simplePack("word"), testing::simplePack("figma"), testing::simplePack("chrome")});
    platform::MemoryUserDefaults plainDefaults;
    platform::MemoryUserDefaults preloadedDefaults;
    const ShortcutStore plain(bundle.bundle(), plainDefaults);
    CatalogPreload preload(bundle.bundle());
    const ShortcutStore preloaded(bundle.bundle(), preloadedDefaults, &preload);

    EXPECT_EQ(ids(preloaded.software.get()), ids(plain.software.get()));
    // Each store's sections point at its own packs, and its index is complete
    // from construction on, without a search.
    for (const ShortcutStore* store : {&plain, &preloaded}) {
        EXPECT_EQ(sectionIDs(store->groupedSoftwareCache(), store->software.get()),
                  (SectionIDs{{SoftwareGroup::office, {"word"}},
                              {SoftwareGroup::design, {"figma"}},
                              {SoftwareGroup::browser, {"chrome"}}}));
        EXPECT_EQ(store->searchDocuments().size(), 3u);
    }
    EXPECT_EQ(preloaded.searchDocuments(), plain.searchDocuments());
    EXPECT_EQ(preloaded.selectedSoftwareID.get(), "figma");
    EXPECT_FALSE(preloaded.loadError.get());
}

TEST(CatalogPreload, BrokenCatalogFailsAsItWouldWithoutIt) {
    testing::TempBundle bundle;
    CatalogPreload preload(bundle.bundle());
    platform::MemoryUserDefaults defaults;
    const ShortcutStore store(bundle.bundle(), defaults, &preload);
    EXPECT_TRUE(store.software.get().empty());
    ASSERT_TRUE(store.loadError.get());
    EXPECT_EQ(store.loadError.get()->rfind("shortcuts-mac.json is missing", 0), 0u);
}

}  // namespace
}  // namespace corvanta
