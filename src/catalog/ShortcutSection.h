// One category of the selected pack with the shortcuts that survive filtering.
#pragma once

#include <string>
#include <vector>

#include "catalog/ShortcutCategory.h"

namespace corvanta {

struct ShortcutSection {
    ShortcutCategory category;        // as the pack holds it, with all its items
    std::vector<ShortcutItem> items;  // the survivors in display order; never empty

    const std::string& id() const { return category.id; }
    bool operator==(const ShortcutSection&) const = default;
};

}  // namespace corvanta
