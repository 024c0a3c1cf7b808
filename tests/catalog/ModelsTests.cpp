// Enumerations, derived pack values, key caps per language, the title
// trimmer, the stored-language rule and record equality.
#include <gtest/gtest.h>

#include <unordered_set>

#include "catalog/SettingsKeys.h"
#include "catalog/ShortcutModels.h"

namespace corvanta {
namespace {

TEST(Enumerations, RawValuesRoundTripAndAreCaseSensitive) {
    for (const SoftwareGroup group : allCases<SoftwareGroup>()) {
        EXPECT_EQ(softwareGroupFromRaw(rawValue(group)), group);
    }
    EXPECT_EQ(allCases<SoftwareGroup>().size(), 21u);
    EXPECT_EQ(allCases<SoftwareGroup>().front(), SoftwareGroup::office);
    EXPECT_EQ(allCases<SoftwareGroup>().back(), SoftwareGroup::other);
    EXPECT_EQ(softwareGroupFromRaw("dataAI"), SoftwareGroup::dataAI);
    EXPECT_EQ(softwareGroupFromRaw("versionControl"), SoftwareGroup::versionControl);
    EXPECT_EQ(softwareGroupFromRaw("Office"), std::nullopt);
    EXPECT_EQ(softwareGroupFromRaw("dataai"), std::nullopt);

    for (const SoftwareDataStatus status : allCases<SoftwareDataStatus>()) {
        EXPECT_EQ(softwareDataStatusFromRaw(rawValue(status)), status);
    }
    EXPECT_EQ(softwareDataStatusFromRaw("catalogonly"), std::nullopt);
    EXPECT_EQ(appLanguageFromRaw("ZH"), std::nullopt);
    EXPECT_EQ(appThemeFromRaw("Light"), std::nullopt);
    EXPECT_EQ(appThemeFromRaw("light"), AppTheme::light);
}

TEST(Enumerations, GroupTitles) {
    EXPECT_EQ(title(SoftwareGroup::other, AppLanguage::zh), "浏览器与效率工具");
    EXPECT_EQ(title(SoftwareGroup::other, AppLanguage::en), "Browsers & Productivity");
    EXPECT_EQ(title(SoftwareGroup::versionControl, AppLanguage::zh), "版本控制与 DevOps");
    EXPECT_EQ(title(SoftwareGroup::macUtility, AppLanguage::en), "macOS Utilities");
}

TEST(SoftwarePackTest, GroupComesFromDeclarationThenIdTable) {
    SoftwarePack pack;
    pack.id = "figma";
    EXPECT_EQ(pack.group(), SoftwareGroup::design);
    pack.declaredGroup = SoftwareGroup::media;
    EXPECT_EQ(pack.group(), SoftwareGroup::media);
    pack.declaredGroup.reset();
    pack.id = "Figma";
    EXPECT_EQ(pack.group(), SoftwareGroup::other);
    pack.id = "iterm2";
    EXPECT_EQ(pack.group(), SoftwareGroup::development);
    pack.id = "finder";
    EXPECT_EQ(pack.group(), SoftwareGroup::macUtility);
}

TEST(SoftwarePackTest, ShortcutCountSumsAllCategories) {
    SoftwarePack pack;
    EXPECT_EQ(pack.shortcutCount(), 0);
    pack.categories = {ShortcutCategory{"a", "", "", {ShortcutItem{}, ShortcutItem{}}},
                       ShortcutCategory{"b", "", "", {ShortcutItem{}}}};
    EXPECT_EQ(pack.shortcutCount(), 3);
}

TEST(ShortcutItemTest, KeysForLanguage) {
    ShortcutItem item;
    item.keys = {"⌘", "拖动"};
    EXPECT_EQ(item.keysFor(AppLanguage::en), (std::vector<std::string>{"⌘", "Drag"}));
    EXPECT_EQ(item.keysFor(AppLanguage::zh), (std::vector<std::string>{"⌘", "拖动"}));

    item.keys = {"拖动节点", "按住拖动", "数字"};
    EXPECT_EQ(item.keysFor(AppLanguage::en),
              (std::vector<std::string>{"Drag node", "按住拖动", "Number"}));

    item.keysEn = std::vector<std::string>{};
    EXPECT_TRUE(item.keysFor(AppLanguage::en).empty());
    EXPECT_EQ(item.keysFor(AppLanguage::zh), item.keys);

    // The Chinese caps are shown as written, without translation.
    item.keysZh = std::vector<std::string>{"点击"};
    EXPECT_EQ(item.keysFor(AppLanguage::zh), (std::vector<std::string>{"点击"}));
    EXPECT_EQ(ShortcutItem::englishKeyLabels().size(), 16u);
}

TEST(ShortcutItemTest, RemovingTerminalSentencePunctuation) {
    const auto trim = ShortcutItem::removingTerminalSentencePunctuation;
    EXPECT_EQ(trim("保存文件。"), "保存文件");
    EXPECT_EQ(trim("Save the file. ;"), "Save the file");
    EXPECT_EQ(trim("  Save  "), "Save");
    EXPECT_EQ(trim("..."), "");
    EXPECT_EQ(trim("Use version 2.1 now"), "Use version 2.1 now");
    EXPECT_EQ(trim(" Go! "), "Go!");
    EXPECT_EQ(trim("Options:"), "Options:");
    EXPECT_EQ(trim("全角．；"), "全角");
    EXPECT_EQ(trim("\u3000全角\u3000。\n"), "全角");
    EXPECT_EQ(trim(""), "");
    // A mark on the full stop makes it another character, which stays.
    EXPECT_EQ(trim("a.\u0301"), "a.\u0301");
}

TEST(AppLanguageTest, LoadResetsToEnglishOnce) {
    platform::MemoryUserDefaults defaults;
    defaults.setString(keys::kLanguage, "zh");
    EXPECT_EQ(loadAppLanguage(defaults), AppLanguage::en);
    EXPECT_EQ(defaults.string(keys::kLanguage), "en");
    EXPECT_EQ(defaults.boolean(keys::kEnglishDefault), true);

    defaults.setString(keys::kLanguage, "zh");
    EXPECT_EQ(loadAppLanguage(defaults), AppLanguage::zh);
    EXPECT_EQ(defaults.string(keys::kLanguage), "zh");

    defaults.setString(keys::kLanguage, "ZH");
    EXPECT_EQ(loadAppLanguage(defaults), AppLanguage::en);
    EXPECT_EQ(defaults.string(keys::kLanguage), "ZH");  // nothing written once the flag is set

    defaults.removeObject(keys::kLanguage);
    EXPECT_EQ(loadAppLanguage(defaults), AppLanguage::en);
}

TEST(AppLanguageTest, FlagOfAnotherTypeCountsAsUnset) {
    platform::MemoryUserDefaults defaults;
    defaults.setString(keys::kEnglishDefault, "true");
    defaults.setString(keys::kLanguage, "zh");
    EXPECT_EQ(loadAppLanguage(defaults), AppLanguage::en);
    EXPECT_EQ(defaults.boolean(keys::kEnglishDefault), true);
}

TEST(RecordEquality, AllFieldsTakePart) {
    SoftwarePack a;
    a.id = "figma";
    a.provenance = ShortcutProvenance{};
    a.provenance->sourceURL = "https://example.org/a";
    SoftwarePack b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<SoftwarePack>{}(a), std::hash<SoftwarePack>{}(b));

    b.provenance->coverage = "partial";
    EXPECT_NE(a, b);

    SoftwarePack absent = a;
    SoftwarePack empty = a;
    empty.bundleIdentifiers = std::vector<std::string>{};
    EXPECT_NE(absent, empty);
    EXPECT_NE(std::hash<SoftwarePack>{}(absent), std::hash<SoftwarePack>{}(empty));

    ShortcutItem x{"i", {"A"}, std::nullopt, std::nullopt, "甲", "A", {}};
    ShortcutItem y = x;
    y.keysZh = std::vector<std::string>{"A"};
    EXPECT_NE(x, y);

    std::unordered_set<ShortcutItem> items{x, y, x};
    EXPECT_EQ(items.size(), 2u);
}

}  // namespace
}  // namespace corvanta
