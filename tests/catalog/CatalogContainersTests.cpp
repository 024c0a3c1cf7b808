// The load's own containers, checked against the standard ones on generated
// texts: the id set of validation and the text arena of the search index.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "catalog/StringViewSet.h"
#include "catalog/TextArena.h"

namespace corvanta {
namespace {

std::string randomText(std::mt19937& random, std::size_t longest) {
    // Few letters, so that repeats and shared prefixes are common.
    std::string text(random() % (longest + 1), 'a');
    for (char& c : text) c = static_cast<char>('a' + random() % 3);
    return text;
}

TEST(StringViewSet, AgreesWithAStandardSetWhileGrowing) {
    for (const std::size_t expected : {0u, 10u, 1000u}) {
        std::mt19937 random(static_cast<unsigned>(expected) + 1);
        std::vector<std::string> texts;
        for (int i = 0; i < 3000; ++i) texts.push_back(randomText(random, 8));
        StringViewSet set(expected);
        std::unordered_set<std::string_view> reference;
        for (const std::string& text : texts) {
            ASSERT_EQ(set.insert(text), reference.insert(text).second) << text;
            ASSERT_EQ(set.size(), reference.size());
        }
        // An empty text is a member like any other, once.
        EXPECT_TRUE(set.contains(""));
        EXPECT_FALSE(set.insert(""));
        for (int i = 0; i < 2000; ++i) {
            const std::string probe = randomText(random, 10);
            EXPECT_EQ(set.contains(probe), reference.contains(probe)) << probe;
        }
    }
}

TEST(StringViewSet, EmptyTextIsAbsentUntilInserted) {
    StringViewSet set;
    EXPECT_FALSE(set.contains(""));
    EXPECT_FALSE(set.contains("a"));
    EXPECT_TRUE(set.insert("a"));
    EXPECT_FALSE(set.contains(""));
    EXPECT_TRUE(set.insert(""));
    EXPECT_EQ(set.size(), 2u);
}

TEST(TextArena, StoredTextsAreCopiesThatSurviveGrowthAndMoves) {
    std::mt19937 random(3);
    TextArena arena;
    std::vector<std::string> originals;
    std::vector<std::string_view> stored;
    std::string source;
    for (int i = 0; i < 20000; ++i) {
        // Mostly short texts, now and then one longer than a quarter block.
        const std::size_t longest = i % 997 == 0 ? TextArena::kBlockSize : 40;
        source = randomText(random, longest) + std::to_string(i);
        stored.push_back(arena.store(source));
        originals.push_back(source);
        source.assign(source.size(), '#');  // the arena must not view the source
    }
    EXPECT_GT(arena.blockCount(), 5u);
    TextArena moved = std::move(arena);
    for (std::size_t i = 0; i < originals.size(); ++i) ASSERT_EQ(stored[i], originals[i]) << i;

    // The moved-from arena is empty and usable; the other keeps its texts.
    EXPECT_EQ(arena.blockCount(), 0u);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(arena.store("again"), "again");
    EXPECT_EQ(stored.front(), originals.front());
    EXPECT_EQ(moved.store(""), "");
}

TEST(TextArena, ALongTextLeavesTheCurrentBlockInUse) {
    TextArena arena;
    // Fills the first block but for a little more than a quarter of it.
    const std::string filler(TextArena::kBlockSize / 4 - 1, 'f');
    for (int i = 0; i < 2; ++i) EXPECT_EQ(arena.store(filler), filler);
    const std::string_view first = arena.store("first");
    const std::string longText(TextArena::kBlockSize / 2, 'x');
    EXPECT_EQ(arena.store(longText), longText);
    EXPECT_EQ(arena.blockCount(), 2u);
    // The next short text goes right after the first one.
    const std::string_view next = arena.store("next");
    EXPECT_EQ(next, "next");
    EXPECT_EQ(next.data(), first.data() + first.size());
    EXPECT_EQ(arena.blockCount(), 2u);
}

}  // namespace
}  // namespace corvanta
