// The favourite keys: stored order, repeats, and sharing between copies.
#include "catalog/FavoriteSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvanta {
namespace {

// A hand-edited array may be out of order or repeat itself; the set, and the
// array it stores, are in byte order (code-point order for UTF-8), each once.
TEST(FavoriteSet, KeepsByteOrderAndEachKeyOnce) {
    const FavoriteSet set(
        std::vector<std::string>{"word:s", "快捷:键", "Word:s", "word:s", "é:x", "word:a"});
    EXPECT_EQ(set.toArray(),
              (std::vector<std::string>{"Word:s", "word:a", "word:s", "é:x", "快捷:键"}));
    EXPECT_TRUE(set.contains("é:x"));
    EXPECT_FALSE(set.contains("word"));
    EXPECT_FALSE(set.contains("word:s:x"));

    const FavoriteSet added = set.toggled("word:b");
    EXPECT_EQ(added.toArray(),
              (std::vector<std::string>{"Word:s", "word:a", "word:b", "word:s", "é:x", "快捷:键"}));
    EXPECT_EQ(added.toggled("word:b"), set);
    EXPECT_EQ(set.size(), 5u);  // the set toggled is left as it was
    EXPECT_TRUE(FavoriteSet{"a:b"}.toggled("a:b").empty());
}

TEST(FavoriteSet, FilteringKeepsTheSameSetWhenNothingIsDropped) {
    const FavoriteSet set{"a:1", "a:2", "b:1"};
    const FavoriteSet all = set.filtered([](std::string_view) { return true; });
    EXPECT_EQ(all, set);
    const FavoriteSet some = set.filtered([](std::string_view key) { return key[0] == 'a'; });
    EXPECT_EQ(some, (FavoriteSet{"a:2", "a:1"}));
    EXPECT_TRUE(set.filtered([](std::string_view) { return false; }).empty());
    // A copy outlives the set it came from.
    FavoriteSet copy;
    {
        const FavoriteSet temporary{"x:1", "y:2"};
        copy = temporary;
    }
    EXPECT_TRUE(copy.contains("y:2"));
    EXPECT_NE(copy, set);
}

}  // namespace
}  // namespace corvanta
