// Keys as a screen reader says them: symbols, named keys and punctuation as
// words in either language, chords of two steps with a pause word, and every
// key label of the shipped catalog heard as words.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <QRegularExpression>
#include <QString>

#include "catalog/ShortcutStore.h"
#include "interface/ShortcutRow.h"
#include "interface/SpokenKeys.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta {
namespace {

using Keys = std::vector<QString>;

TEST(SpokenKeys, SymbolsNamedKeysAndPunctuationBecomeWords) {
    EXPECT_EQ(spokenKeys(Keys{"⌘", "S"}, AppLanguage::en), "Command S");
    EXPECT_EQ(spokenKeys(Keys{"⌃", "⌦", "⎋", "⇥", "↩"}, AppLanguage::en),
              "Control Forward Delete Escape Tab Return");
    EXPECT_EQ(spokenKeys(Keys{"⇧⌘Z"}, AppLanguage::en), "Shift Command Z");
    EXPECT_EQ(spokenKeys(Keys{"⌘", ","}, AppLanguage::en), "Command Comma");
    EXPECT_EQ(spokenKeys(Keys{"⌥", "["}, AppLanguage::en), "Option Left Bracket");
    EXPECT_EQ(spokenKeys(Keys{"⌘", "-"}, AppLanguage::zh), "Command 减号");
    EXPECT_EQ(spokenKeys(Keys{"Page Down", "]"}, AppLanguage::en), "Page Down Right Bracket");
    EXPECT_EQ(spokenKeys(Keys{"Numpad ."}, AppLanguage::en), "Numpad Period");
    // Chinese names every key but the modifiers in Chinese.
    EXPECT_EQ(spokenKeys(Keys{"⌘", "↩", "↑"}, AppLanguage::zh), "Command 回车键 上箭头键");
    EXPECT_EQ(spokenKeys(Keys{"⌃", "Space"}, AppLanguage::zh), "Control 空格键");
    EXPECT_EQ(spokenKeys(Keys{"⇧", "Tab"}, AppLanguage::zh), "Shift 制表键");
    EXPECT_EQ(spokenKeys(Keys{"Home", "End", "Page Up"}, AppLanguage::zh),
              "起始键 结束键 向上翻页键");
    EXPECT_EQ(spokenKeys(Keys{"⌥", "拖动"}, AppLanguage::zh), "Option 拖动");
    EXPECT_EQ(spokenKeys(Keys{}, AppLanguage::en), "");
}

TEST(SpokenKeys, ChordStepsArePausedAndLetterSequencesAreNot) {
    EXPECT_EQ(spokenKeys(Keys{"⌘K", "⌘S"}, AppLanguage::en), "Command K, then Command S");
    EXPECT_EQ(spokenKeys(Keys{"⌘K", "Z"}, AppLanguage::zh), "Command K，然后 Z");
    EXPECT_EQ(spokenKeys(Keys{"⌘", "K"}, AppLanguage::en), "Command K");
    EXPECT_EQ(spokenKeys(Keys{"G", "N"}, AppLanguage::en), "G N");
}

// A key is heard when each word holds a letter or digit: speech engines at
// their default level drop bare punctuation and say nothing for ⌘ or ↩.
bool heardAsWords(const QString& spoken) {
    if (spoken.trimmed().isEmpty())
        return false;
    for (const QString& word :
         spoken.split(QRegularExpression(QStringLiteral("[ ，,]+")), Qt::SkipEmptyParts)) {
        bool letter = false;
        for (const QChar c : word) letter = letter || c.isLetterOrNumber();
        if (!letter)
            return false;
    }
    return true;
}

TEST(SpokenKeys, EveryKeyOfTheShippedCatalogIsHeardInBothLanguages) {
    platform::MemoryUserDefaults defaults;
    ShortcutStore store(
        platform::Bundle(CORVANTA_SOURCE_DIR "/resources", std::string("org.corvanta.tests")),
        defaults);
    ASSERT_FALSE(store.loadError.get().has_value());
    std::set<std::pair<std::string, AppLanguage>> labels;
    for (const SoftwarePack& pack : store.software.get()) {
        for (const ShortcutCategory& category : pack.categories) {
            for (const ShortcutItem& item : category.items) {
                for (const AppLanguage language : {AppLanguage::en, AppLanguage::zh}) {
                    for (const std::string& label : item.keysFor(language))
                        labels.emplace(label, language);
                    // Whole rows too: a row is its title and then its keys.
                    const QString row = ShortcutRow::accessibilityLabel(item, language);
                    EXPECT_TRUE(
                        heardAsWords(row.mid(ShortcutRow::displayTitle(item, language).size())) ||
                        item.keysFor(language).empty())
                        << row.toStdString();
                }
            }
        }
    }
    EXPECT_GT(labels.size(), 100u);
    for (const auto& [label, language] : labels) {
        const QString spoken = spokenKeys(Keys{QString::fromStdString(label)}, language);
        EXPECT_TRUE(heardAsWords(spoken))
            << label << " is spoken as \"" << spoken.toStdString() << "\"";
    }
}

}  // namespace
}  // namespace corvanta
