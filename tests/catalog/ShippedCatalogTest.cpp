// Checks the catalog files that ship with the app: they must load cleanly and
// hold data a user can trust (complete, bilingual, Mac keys only).
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "catalog/CatalogLoading.h"
#include "catalog/ShortcutStore.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Text.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta {
namespace {

bool hasCjk(std::string_view text) {
    for (char32_t c : text::toUtf32(text)) {
        if ((c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
            (c >= 0x20000 && c <= 0x2FA1F)) {
            return true;
        }
    }
    return false;
}

bool endsWithSentencePunctuation(std::string_view title) {
    for (std::string_view end : {"。", "．", ".", ";", "；"}) {
        if (title.size() >= end.size() && title.substr(title.size() - end.size()) == end) {
            return true;
        }
    }
    return false;
}

class ShippedCatalog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bundle_ =
            new platform::Bundle(CORVANTA_SOURCE_RESOURCES, std::string("org.corvanta.tests"));
        defaults_ = new platform::MemoryUserDefaults();
        store_ = new ShortcutStore(*bundle_, *defaults_);
    }
    static void TearDownTestSuite() {
        delete store_;
        delete defaults_;
        delete bundle_;
    }
    static inline platform::Bundle* bundle_ = nullptr;
    static inline platform::MemoryUserDefaults* defaults_ = nullptr;
    static inline ShortcutStore* store_ = nullptr;
};

TEST_F(ShippedCatalog, LoadsWithoutWarningsAndCoversEveryGroup) {
    for (const auto& warning : store_->dataWarnings.get()) ADD_FAILURE() << warning;
    EXPECT_FALSE(store_->loadError.get().has_value());
    EXPECT_GE(store_->software.get().size(), 100u);

    std::set<SoftwareGroup> groups;
    for (const auto& section : store_->groupedSoftwareCache()) groups.insert(section.group);
    EXPECT_EQ(groups.size(), allCases<SoftwareGroup>().size());
}

TEST_F(ShippedCatalog, HoldsEveryNamedPackAndResolvesTheFallbackIdentifiers) {
    const char* ids[] = {"word",
                         "excel",
                         "powerpoint",
                         "outlook",
                         "onenote",
                         "pages",
                         "numbers",
                         "keynote",
                         "obsidian",
                         "jupyter",
                         "spss",
                         "rstudio",
                         "figma",
                         "photoshop",
                         "illustrator",
                         "affinitydesigner",
                         "affinityphoto",
                         "affinitypublisher",
                         "sketch",
                         "autocad",
                         "sketchup",
                         "rhino",
                         "fusion360",
                         "freecad",
                         "shapr3d",
                         "blender",
                         "maya",
                         "cinema4d",
                         "comsol",
                         "matlab",
                         "simulink",
                         "vscode",
                         "xcode",
                         "androidstudio",
                         "intellij",
                         "terminal",
                         "iterm2",
                         "chrome",
                         "safari",
                         "firefox",
                         "notion",
                         "finder",
                         "premiere",
                         "aftereffects",
                         "davinci",
                         "goodnotes",
                         "pdfexpert",
                         "texstudio",
                         "ulysses",
                         "chatgpt",
                         "handbrake",
                         "datagrip",
                         "goland",
                         "pycharm",
                         "clion",
                         "webstorm",
                         "vlc",
                         "indesign",
                         "lightroom",
                         "adobefirefly",
                         "adobeacrobat",
                         "adobexd",
                         "substancepainter",
                         "kicad",
                         "paraview",
                         "hoppscotch",
                         "imagej",
                         "calibre",
                         "chemdraw",
                         "overleaf",
                         "mindnode",
                         "xmind",
                         "godot",
                         "audacity",
                         "drawio",
                         "anki",
                         "pymol",
                         "qgis",
                         "dbeaver",
                         "zotero",
                         "googledocs",
                         "googlesheets",
                         "googleslides",
                         "endnote",
                         "evernote",
                         "mendeley",
                         "scrivener",
                         "gitlab",
                         "onepassword",
                         "raycast",
                         "deepl",
                         "obsstudio",
                         "postman",
                         "insomnia",
                         "todoist",
                         "dockerdesktop",
                         "redisinsight",
                         "supabase",
                         "netlify",
                         "github",
                         "grammarly",
                         "vercel",
                         "linear"};
    for (const char* id : ids) EXPECT_TRUE(store_->softwareByID().contains(id)) << id;

    for (const auto& [identifier, packID] : detail::fallbackSoftwareIDByBundleIdentifier()) {
        EXPECT_TRUE(store_->softwareByID().contains(packID)) << identifier;
        // The packs' own identifiers may take a row over, but only for the same app.
        auto it = store_->softwareIDByBundleIdentifier().find(identifier);
        ASSERT_NE(it, store_->softwareIDByBundleIdentifier().end());
        EXPECT_EQ(it->second, packID) << identifier;
    }
}

TEST_F(ShippedCatalog, EveryPackIsUsableAndTranslated) {
    const std::regex accent("^#[0-9A-Fa-f]{6}$");
    for (const auto& pack : store_->software.get()) {
        SCOPED_TRACE(pack.id);
        EXPECT_TRUE(std::regex_match(pack.accent, accent)) << pack.accent;
        EXPECT_FALSE(text::isBlank(pack.glyph));
        // Every pack says where its data comes from; one without checked
        // shortcuts says that it still awaits verification.
        ASSERT_TRUE(pack.provenance.has_value());
        EXPECT_TRUE(pack.provenance->sourceURL.has_value() &&
                    pack.provenance->sourceURL->starts_with("https://"));
        if (pack.dataStatus == SoftwareDataStatus::catalogOnly) {
            EXPECT_TRUE(
                pack.provenance->coverage.has_value() &&
                text::containsCaseInsensitive(*pack.provenance->coverage, "awaiting verification"));
            continue;
        }
        EXPECT_GE(pack.shortcutCount(), 10);
        for (const auto& category : pack.categories) {
            EXPECT_TRUE(hasCjk(category.zh)) << category.id << ": " << category.zh;
            EXPECT_FALSE(hasCjk(category.en)) << category.id << ": " << category.en;
            for (const auto& item : category.items) {
                EXPECT_TRUE(hasCjk(item.zh)) << item.id << ": " << item.zh;
                EXPECT_FALSE(hasCjk(item.en)) << item.id << ": " << item.en;
                EXPECT_FALSE(endsWithSentencePunctuation(item.zh)) << item.id;
                EXPECT_FALSE(endsWithSentencePunctuation(item.en)) << item.id;
                for (AppLanguage language : {AppLanguage::zh, AppLanguage::en}) {
                    for (const auto& key : item.keysFor(language)) {
                        EXPECT_FALSE(text::containsCaseInsensitive(key, "windows")) << item.id;
                        EXPECT_NE(key, "⊞") << item.id;
                        EXPECT_FALSE(text::isBlank(key)) << item.id;
                    }
                }
                for (AppLanguage language : {AppLanguage::en}) {
                    for (const auto& key : item.keysFor(language)) {
                        EXPECT_FALSE(hasCjk(key)) << item.id << " shows " << key << " in English";
                    }
                }
            }
        }
    }
}

TEST_F(ShippedCatalog, ChordsOfTwoStepsShowOneCapPerStep) {
    // A step is pressed as a whole, so it is one cap ("⌘K"); caps split per
    // key would read as one chord of four keys.
    const SoftwarePack* vscode = store_->softwareByID().at("vscode");
    const std::map<std::string, std::vector<std::string>> steps{
        {"keyboardShortcuts", {"⌘K", "⌘S"}},
        {"foldAll", {"⌘K", "⌘0"}},
        {"unfoldAll", {"⌘K", "⌘J"}},
        {"zenMode", {"⌘K", "Z"}},
    };
    std::set<std::string> found;
    for (const auto& category : vscode->categories) {
        for (const auto& item : category.items) {
            const auto expected = steps.find(item.id);
            if (expected == steps.end())
                continue;
            found.insert(item.id);
            EXPECT_EQ(item.keys, expected->second) << item.id;
            EXPECT_FALSE(item.keysZh.has_value()) << item.id;
            EXPECT_FALSE(item.keysEn.has_value()) << item.id;
        }
    }
    EXPECT_EQ(found.size(), steps.size());

    // Anywhere in the catalog, a modifier cap after a plain key is a later
    // step spread over caps.
    const std::set<std::string> modifiers{"⌘", "⌥", "⌃", "⇧"};
    for (const auto& pack : store_->software.get()) {
        for (const auto& category : pack.categories) {
            for (const auto& item : category.items) {
                for (AppLanguage language : {AppLanguage::zh, AppLanguage::en}) {
                    bool afterPlainKey = false;
                    for (const auto& key : item.keysFor(language)) {
                        const bool modifier = modifiers.contains(key);
                        EXPECT_FALSE(modifier && afterPlainKey) << pack.id << ":" << item.id;
                        afterPlainKey = afterPlainKey || !modifier;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace corvanta
