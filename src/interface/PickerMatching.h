// The pack picker's tolerant name query: normalising the query and a pack's
// name, matching every word of the query, filtering the grouped sections and
// cutting a section's tiles into rows of two. Pure functions, no drawing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalog/SoftwareGroup.h"
#include "catalog/SoftwareGroupSection.h"
#include "interface/SoftwarePickerEntry.h"

namespace corvanta {

struct SoftwarePack;

// A section as the picker shows it: the packs point into the store's grouped
// sections, which live as long as the store, so filtering copies no pack.
struct PickerSection {
    SoftwareGroup group;
    std::vector<const SoftwarePack*> software;  // never empty
};

namespace picker {

// Trimmed, folded (case, diacritics, width) and lower-cased.
std::string normalized(std::string_view text);
// Only the letters and digits of a text, in order.
std::string compactForm(std::string_view text);
// The query's words: normalised, split at white space. Empty for a query of
// white space only, which then matches everything.
std::vector<std::string> queryTokens(std::string_view query);

// Whether every token occurs in the pack's name and id, directly or with
// punctuation and spaces bridged on both sides.
bool matches(const SoftwarePack& pack, const std::vector<std::string>& tokens);
bool matches(const SoftwarePack& pack, std::string_view query);

// The sections holding at least one matching pack, in order; all of them,
// unchanged, for an empty query.
std::vector<PickerSection> filterSections(const std::vector<SoftwareGroupSection>& sections,
                                          std::string_view query);
// The same for a query already cut into its tokens.
std::vector<PickerSection> filterSections(const std::vector<SoftwareGroupSection>& sections,
                                          const std::vector<std::string>& tokens);
int matchCount(const std::vector<PickerSection>& sections);

// The section's tiles (its packs, then the group's request tile when asked)
// cut into rows of two; an odd count leaves one tile on the last row.
std::vector<std::vector<SoftwarePickerEntry>> rows(SoftwareGroup group,
                                                   const std::vector<const SoftwarePack*>& packs,
                                                   bool includesAddButton);

}  // namespace picker
}  // namespace corvanta
