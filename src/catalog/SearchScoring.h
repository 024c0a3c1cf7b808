// Building the search documents, and matching and scoring one document
// against a normalised query.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalog/SearchDocument.h"
#include "catalog/SearchDocuments.h"
#include "catalog/SoftwarePack.h"

namespace corvanta::detail {

// Item key -> document for every shortcut of every pack; of two shortcuts with
// one key the later one's document stands.
SearchDocuments buildSearchDocuments(const std::vector<SoftwarePack>& software);

// A one-character ASCII token must be a whole word of the document; any other
// token may occur anywhere in its haystack.
bool tokenMatches(std::string_view token, const SearchDocument& document);

int searchScore(const SearchDocument& document, std::string_view query,
                const std::vector<std::string_view>& tokens);

}  // namespace corvanta::detail
