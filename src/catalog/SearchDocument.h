// The prepared, normalised texts of one shortcut that the search matches and
// scores against.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvanta {

// Every text of the document lives in `haystack`, in the order title (Chinese
// title, space, English title), keys (the key variants joined with one
// space), tags, category, one space between the parts; the parts are read
// through the accessors. One text per shortcut instead of a dozen keeps
// the index cheap to build at start-up. The text is held by the index that
// holds the document (SearchDocuments copies it in), not by the document.
struct SearchDocument {
    std::string_view haystack;
    std::uint32_t titleZhEnd = 0;
    std::uint32_t titleEnd = 0;
    std::array<std::uint32_t, 3> keyVariantEnds{};
    std::uint32_t keyVariantCount = 0;
    std::uint32_t tagsEnd = 0;
    // The one-character ASCII words of `haystack`, by character.
    std::bitset<128> asciiWords;

    // Normalised Chinese title, then normalised English title.
    std::array<std::string_view, 2> titleVariants() const;
    // The distinct normalised key sequences, ascending.
    std::size_t keyVariantsCount() const { return keyVariantCount; }
    std::string_view keyVariant(std::size_t index) const;
    std::vector<std::string_view> keyVariants() const;

    std::string_view title() const { return part(0, titleEnd); }
    std::string_view keys() const { return part(keysBegin(), keysEnd()); }
    std::string_view tags() const { return part(keysEnd() + 1, tagsEnd); }
    std::string_view category() const { return part(tagsEnd + 1, haystack.size()); }

    // The words of `haystack` (split at each space, empty pieces dropped),
    // distinct and ascending.
    std::vector<std::string_view> tokens() const;
    // Whether `word` is one of the tokens; the search asks only about
    // one-character ASCII words, which are answered from `asciiWords`.
    bool hasToken(std::string_view word) const;

    bool operator==(const SearchDocument&) const = default;

private:
    std::size_t keysBegin() const { return titleEnd + 1u; }
    std::size_t keysEnd() const {
        return keyVariantCount == 0 ? keysBegin() : keyVariantEnds[keyVariantCount - 1];
    }
    std::string_view part(std::size_t begin, std::size_t end) const {
        return haystack.substr(begin, end - begin);
    }
};

}  // namespace corvanta
