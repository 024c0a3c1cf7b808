// One application's shortcut pack as decoded from a catalog file.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalog/ShortcutCategory.h"
#include "catalog/ShortcutProvenance.h"
#include "catalog/SoftwareDataStatus.h"
#include "catalog/SoftwareGroup.h"

namespace corvanta {

struct SoftwarePack {
    std::string id;
    std::string name;
    std::string vendor;
    std::string accent;
    std::string glyph;
    std::optional<std::vector<std::string>> bundleIdentifiers;
    std::optional<SoftwareGroup> declaredGroup;  // JSON key "group"
    std::optional<SoftwareDataStatus> dataStatus;
    std::vector<ShortcutCategory> categories;
    std::optional<ShortcutProvenance> provenance;

    bool operator==(const SoftwarePack&) const = default;

    // The declared group, else the group the fixed id table gives, else `other`.
    SoftwareGroup group() const;
    int shortcutCount() const;
};

}  // namespace corvanta

template <>
struct std::hash<corvanta::SoftwarePack> {
    std::size_t operator()(const corvanta::SoftwarePack& value) const noexcept;
};
