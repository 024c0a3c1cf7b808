// The prepared, normalised texts of one shortcut that the search matches and
// scores against.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace corvanta {

struct SearchDocument {
    std::vector<std::string> titleVariants;  // normalised zh title, then en title
    std::vector<std::string> keyVariants;    // distinct normalised key sequences, ascending
    std::string title;
    std::string keys;
    std::string tags;
    std::string category;
    std::string haystack;  // title, keys, tags and category joined with one space

    // The words of `haystack` (split at each space, empty pieces dropped),
    // distinct and ascending. Views into `haystack`.
    std::vector<std::string_view> tokens() const;
    // Whether `word` is one of the tokens. The search asks this only for
    // one-character ASCII words, which are answered from a prepared bit set;
    // building a full word set for every shortcut at start-up costs more than
    // the whole search.
    bool hasToken(std::string_view word) const;

    // Set by the index builder from `haystack`.
    std::bitset<128> asciiLetterTokens;

    bool operator==(const SearchDocument&) const = default;
};

}  // namespace corvanta
