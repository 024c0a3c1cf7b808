// The prepared, normalised texts of one shortcut that the search matches and
// scores against.
#pragma once

#include <algorithm>
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
    // The words of `haystack`, distinct and sorted ascending (a set kept as a
    // sorted list: cheaper to build for every shortcut at start-up).
    std::vector<std::string> tokens;

    bool hasToken(std::string_view word) const {
        return std::binary_search(tokens.begin(), tokens.end(), word);
    }

    bool operator==(const SearchDocument&) const = default;
};

}  // namespace corvanta
