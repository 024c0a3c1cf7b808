// One section of the pack picker: a group with its packs in catalog order.
#pragma once

#include <vector>

#include "catalog/SoftwareGroup.h"
#include "catalog/SoftwarePack.h"

namespace corvanta {

struct SoftwareGroupSection {
    SoftwareGroup group;
    std::vector<SoftwarePack> software;  // never empty

    SoftwareGroup id() const { return group; }
    bool operator==(const SoftwareGroupSection&) const = default;
};

}  // namespace corvanta
