// The steps of the catalog load, kept apart from the store so that each can be
// tested alone: the resource list, validation of one pack, merging two
// versions of a pack, and reading all files into one ordered catalog.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/SearchDocuments.h"
#include "catalog/SoftwareGroupSection.h"
#include "catalog/SoftwarePack.h"
#include "platform/foundation/Bundle.h"

namespace corvanta::detail {

struct CatalogResource {
    std::string_view name;
    // A valid pack of this file replaces an earlier one with its id; otherwise
    // it is merged into it.
    bool replaces;
};

// The catalog files sit in their own folder of the resource root.
inline constexpr std::string_view kCatalogSubdirectory = "catalog";

inline constexpr std::array<CatalogResource, 11> kCatalogResources{{
    {"shortcuts-mac", false},
    {"office-shortcuts-mac", false},
    {"professional-shortcuts-mac", false},
    {"productivity-shortcuts-mac", false},
    {"ecosystem-shortcuts-mac", true},
    {"verified-shortcuts-mac", true},
    {"supplemental-shortcuts-mac", true},
    {"browser-reviewed-shortcuts-mac", true},
    {"extended-shortcuts-mac", false},
    {"curated-shortcuts-mac", true},
    {"curated-supplements-mac", false},
}};

// The usable part of a pack, or nothing when nothing usable is left; every
// problem appends one sentence to `warnings`.
std::optional<SoftwarePack> sanitized(SoftwarePack pack, std::string_view source,
                                      std::vector<std::string>& warnings);

// `overlay`'s scalars over `base`, categories and items combined by id with the
// base order first. Never removes a category or an item. Both are taken by
// value, so a caller that hands them over spares copying every shortcut.
SoftwarePack merge(SoftwarePack base, SoftwarePack overlay);

// Movable but not copyable: the sections point into `software`, whose packs
// keep their place when the vector is moved.
struct LoadedCatalog {
    LoadedCatalog() = default;
    LoadedCatalog(LoadedCatalog&&) = default;
    LoadedCatalog& operator=(LoadedCatalog&&) = default;
    LoadedCatalog(const LoadedCatalog&) = delete;
    LoadedCatalog& operator=(const LoadedCatalog&) = delete;

    std::vector<SoftwarePack> software;  // in order of first appearance of each id
    std::vector<std::string> warnings;
    // The picker's sections: each group that has packs, in group order.
    std::vector<SoftwareGroupSection> groupedSoftware;
    // Item key -> search document of every shortcut.
    SearchDocuments searchDocuments;
};

// Reads, merges, groups and indexes the catalog. Indexing normalises every
// text of the catalog, so it is done here, where a read-ahead runs it off the
// main thread, and the first search after launch finds it ready.
LoadedCatalog loadCatalog(const platform::Bundle& bundle);

// Sections that point into `packs`, which must neither change nor move while
// the sections are in use (moving the vector itself keeps them valid).
std::vector<SoftwareGroupSection> groupSoftware(const std::vector<SoftwarePack>& packs);

// Lower-case bundle identifier -> pack id, for applications whose packs do not
// list their own identifiers.
const std::unordered_map<std::string, std::string>& fallbackSoftwareIDByBundleIdentifier();

}  // namespace corvanta::detail
