// The inputs that decide the filtered shortcut list; an equal key means the
// cached list is still right.
#pragma once

#include <string>

namespace corvanta {

struct FilterCacheKey {
    std::string softwareID;
    std::string categoryID;  // as selected, not the effective category
    std::string normalizedQuery;
    bool favoriteOnly = false;
    int favoritesRevision = 0;

    bool operator==(const FilterCacheKey&) const = default;
};

}  // namespace corvanta
