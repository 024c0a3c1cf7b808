// Derived values of a pack, and the hashing of the catalog records.
#include "catalog/SoftwarePack.h"

#include <string_view>
#include <unordered_map>

#include "catalog/HashCombine.h"

namespace corvanta {
namespace {

// Packs that predate the "group" key get their group from their id.
const std::unordered_map<std::string_view, SoftwareGroup>& groupByPackID() {
    using enum SoftwareGroup;
    static const std::unordered_map<std::string_view, SoftwareGroup> table{
        {"word", office},
        {"excel", office},
        {"powerpoint", office},
        {"outlook", office},
        {"onenote", office},
        {"pages", office},
        {"numbers", office},
        {"keynote", office},
        {"obsidian", study},
        {"jupyter", study},
        {"spss", study},
        {"rstudio", study},
        {"figma", design},
        {"photoshop", design},
        {"illustrator", design},
        {"affinitydesigner", design},
        {"affinityphoto", design},
        {"affinitypublisher", design},
        {"sketch", design},
        {"autocad", architecture},
        {"sketchup", architecture},
        {"rhino", architecture},
        {"fusion360", engineering},
        {"freecad", engineering},
        {"shapr3d", engineering},
        {"blender", modeling},
        {"maya", modeling},
        {"cinema4d", modeling},
        {"comsol", simulation},
        {"matlab", simulation},
        {"simulink", simulation},
        {"vscode", development},
        {"xcode", development},
        {"androidstudio", development},
        {"intellij", development},
        {"terminal", development},
        {"iterm2", development},
        {"chrome", browser},
        {"safari", browser},
        {"firefox", browser},
        {"notion", collaboration},
        {"finder", macUtility},
        {"premiere", media},
        {"aftereffects", media},
        {"davinci", media},
    };
    return table;
}

template <class Enum>
void hashEnum(std::size_t& seed, const std::optional<Enum>& value) {
    detail::hashCombine(seed, value.has_value() ? 1 : 0);
    if (value)
        detail::hashField(seed, rawValue(*value));
}

}  // namespace

SoftwareGroup SoftwarePack::group() const {
    if (declaredGroup)
        return *declaredGroup;
    const auto& table = groupByPackID();
    const auto it = table.find(id);
    return it != table.end() ? it->second : SoftwareGroup::other;
}

int SoftwarePack::shortcutCount() const {
    int count = 0;
    for (const auto& category : categories) count += static_cast<int>(category.items.size());
    return count;
}

}  // namespace corvanta

using corvanta::detail::hashField;

std::size_t std::hash<corvanta::ShortcutProvenance>::operator()(
    const corvanta::ShortcutProvenance& v) const noexcept {
    std::size_t seed = 0;
    hashField(seed, v.sourceURL);
    hashField(seed, v.sourceTitle);
    hashField(seed, v.appVersion);
    hashField(seed, v.verifiedAt);
    hashField(seed, v.coverage);
    hashField(seed, v.platform);
    return seed;
}

std::size_t std::hash<corvanta::ShortcutItem>::operator()(
    const corvanta::ShortcutItem& v) const noexcept {
    std::size_t seed = 0;
    hashField(seed, v.id);
    hashField(seed, v.keys);
    hashField(seed, v.keysZh);
    hashField(seed, v.keysEn);
    hashField(seed, v.zh);
    hashField(seed, v.en);
    hashField(seed, v.tags);
    return seed;
}

std::size_t std::hash<corvanta::ShortcutCategory>::operator()(
    const corvanta::ShortcutCategory& v) const noexcept {
    std::size_t seed = 0;
    hashField(seed, v.id);
    hashField(seed, v.zh);
    hashField(seed, v.en);
    hashField(seed, v.items);
    return seed;
}

std::size_t std::hash<corvanta::SoftwarePack>::operator()(
    const corvanta::SoftwarePack& v) const noexcept {
    std::size_t seed = 0;
    hashField(seed, v.id);
    hashField(seed, v.name);
    hashField(seed, v.vendor);
    hashField(seed, v.accent);
    hashField(seed, v.glyph);
    hashField(seed, v.bundleIdentifiers);
    corvanta::hashEnum(seed, v.declaredGroup);
    corvanta::hashEnum(seed, v.dataStatus);
    hashField(seed, v.categories);
    hashField(seed, v.provenance);
    return seed;
}
