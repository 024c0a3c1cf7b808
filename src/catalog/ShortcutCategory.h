// A named group of shortcuts inside a pack.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalog/ShortcutItem.h"

namespace corvanta {

struct ShortcutCategory {
    std::string id;
    std::string zh;
    std::string en;
    std::vector<ShortcutItem> items;

    bool operator==(const ShortcutCategory&) const = default;
};

}  // namespace corvanta

template <>
struct std::hash<corvanta::ShortcutCategory> {
    std::size_t operator()(const corvanta::ShortcutCategory& value) const noexcept;
};
