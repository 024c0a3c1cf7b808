// The search index's own table, checked against a plain map on generated keys.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "catalog/SearchDocuments.h"

namespace corvanta {
namespace {

// A document views its text; these texts outlive every test.
SearchDocument document(const std::string& text) {
    static std::deque<std::string> texts;
    SearchDocument doc;
    doc.haystack = texts.emplace_back(text);
    return doc;
}

TEST(SearchDocuments, AgreesWithAMapOnGeneratedKeysWhileGrowing) {
    // No reservation, so the table grows many times; short numeric keys make
    // repeats and neighbouring hashes common.
    std::mt19937 random(7);
    std::unordered_map<std::string, SearchDocument> reference;
    SearchDocuments documents;
    for (int i = 0; i < 5000; ++i) {
        const std::string key =
            "p" + std::to_string(random() % 40) + ":" + std::to_string(random() % 200);
        const SearchDocument doc = document("text " + std::to_string(i));
        reference.insert_or_assign(key, doc);
        documents.insertOrAssign(key, doc);
        ASSERT_EQ(documents.size(), reference.size());
    }
    for (const auto& [key, doc] : reference) {
        ASSERT_TRUE(documents.contains(key)) << key;
        EXPECT_EQ(documents.at(key), doc) << key;
    }
    for (const std::string missing : {"", "p0", "p0:", "p40:0", "p1:200", "x"}) {
        EXPECT_FALSE(documents.contains(missing)) << missing;
        EXPECT_EQ(documents.find(missing), nullptr);
        EXPECT_THROW(static_cast<void>(documents.at(missing)), std::out_of_range);
    }
}

TEST(SearchDocuments, EqualityIgnoresOrderButNotContent) {
    SearchDocuments a;
    SearchDocuments b;
    EXPECT_EQ(a, b);
    EXPECT_FALSE(a.contains("k"));
    a.insertOrAssign("k1", document("one"));
    a.insertOrAssign("k2", document("two"));
    b.reserve(2);
    b.insertOrAssign("k2", document("two"));
    b.insertOrAssign("k1", document("uno"));
    EXPECT_NE(a, b);
    // Replacing keeps the key's place and the count.
    b.insertOrAssign("k1", document("one"));
    EXPECT_EQ(b.size(), 2u);
    EXPECT_EQ(a, b);
    b.insertOrAssign("k3", document("three"));
    EXPECT_NE(a, b);
}

}  // namespace
}  // namespace corvanta
