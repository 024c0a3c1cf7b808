// The search normalisation shared by the index and the query: folded, key
// symbols and punctuation spelled as words, modifier synonyms collapsed.
#pragma once

#include <string>
#include <string_view>

namespace corvanta {

// Words of the result are separated by one space; the result is empty when
// nothing searchable is left.
std::string normalize(std::string_view text);
// Appends what `normalize(text)` returns to `out`, without a separator.
void appendNormalized(std::string_view text, std::string& out);

}  // namespace corvanta
