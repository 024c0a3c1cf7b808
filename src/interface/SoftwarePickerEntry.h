// One tile of the pack picker's grid: a pack, or a group's request tile.
#pragma once

#include <string>
#include <variant>

#include "catalog/SoftwareGroup.h"

namespace corvanta {

struct SoftwarePack;

struct SoftwarePickerEntry {
    // A pack of the loaded catalog (never null), or the group of a request tile.
    std::variant<const SoftwarePack*, SoftwareGroup> value;

    static SoftwarePickerEntry software(const SoftwarePack& pack) { return {&pack}; }
    static SoftwarePickerEntry add(SoftwareGroup group) { return {group}; }

    const SoftwarePack* pack() const {
        const auto* pack = std::get_if<const SoftwarePack*>(&value);
        return pack ? *pack : nullptr;
    }
    // "software-<pack id>" or "add-<group raw value>".
    std::string id() const;
    bool operator==(const SoftwarePickerEntry&) const = default;
};

}  // namespace corvanta
