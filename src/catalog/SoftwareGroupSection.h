// One section of the pack picker: a group with its packs in catalog order.
#pragma once

#include <vector>

#include "catalog/SoftwareGroup.h"
#include "catalog/SoftwarePack.h"

namespace corvanta {

struct SoftwareGroupSection {
    SoftwareGroup group;
    // Never empty. The packs are the store's own, which stay in place from the
    // load on; a copy of every pack would double the catalog's memory.
    std::vector<const SoftwarePack*> software;

    SoftwareGroup id() const { return group; }
    bool operator==(const SoftwareGroupSection&) const = default;
};

}  // namespace corvanta
