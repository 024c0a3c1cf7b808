// The store's construction, the catalog load into its tables, and the
// selection, setting and favourite operations.
#include "catalog/ShortcutStore.h"

#include <algorithm>
#include <utility>

#include "catalog/CatalogLoading.h"
#include "catalog/CatalogPreload.h"
#include "catalog/SettingsKeys.h"
#include "platform/foundation/Text.h"

namespace corvanta {

ShortcutStore::ShortcutStore(const platform::Bundle& bundle, platform::UserDefaults& defaults,
                             CatalogPreload* preload)
    : defaults_(defaults) {
    selectedSoftwareID = defaults_.string(keys::kSoftware).value_or("figma");
    language = loadAppLanguage(defaults_);
    theme = defaults_.string(keys::kTheme) == "light" ? AppTheme::light : AppTheme::dark;
    isPinned = defaults_.boolean(keys::kPinned).value_or(true);
    defaults_.readObject(keys::kFavorites, [this](const platform::DefaultsValue* saved) {
        if (const auto* keys = saved ? std::get_if<std::vector<std::string>>(saved) : nullptr)
            favorites = FavoriteSet(*keys);
    });
    loadShortcutLibrary(bundle, preload);
}

const std::unordered_map<std::string, std::string>&
ShortcutStore::fallbackSoftwareIDByBundleIdentifier() {
    return detail::fallbackSoftwareIDByBundleIdentifier();
}

std::string ShortcutStore::itemKey(std::string_view packID, std::string_view itemID) {
    std::string key;
    key.reserve(packID.size() + 1 + itemID.size());
    key.append(packID).push_back(':');
    key.append(itemID);
    return key;
}

void ShortcutStore::loadShortcutLibrary(const platform::Bundle& bundle, CatalogPreload* preload) {
    detail::LoadedCatalog catalog = preload ? preload->take(bundle) : detail::loadCatalog(bundle);
    if (catalog.software.empty()) {
        std::string joined;
        for (std::size_t i = 0; i < catalog.warnings.size(); ++i) {
            if (i > 0)
                joined += '\n';
            joined += catalog.warnings[i];
        }
        loadError = std::optional<std::string>(std::move(joined));
        dataWarnings = std::move(catalog.warnings);
        return;
    }

    software = std::move(catalog.software);
    const std::vector<SoftwarePack>& packs = software.get();

    softwareByID_.reserve(packs.size());
    for (const auto& pack : packs) softwareByID_.emplace(pack.id, &pack);

    softwareIDByBundleIdentifier_ = fallbackSoftwareIDByBundleIdentifier();
    std::size_t identifiers = softwareIDByBundleIdentifier_.size();
    for (const auto& pack : packs) {
        if (pack.bundleIdentifiers)
            identifiers += pack.bundleIdentifiers->size();
    }
    // Rehashing while growing would walk every node again.
    softwareIDByBundleIdentifier_.reserve(identifiers);
    for (const auto& pack : packs) {
        if (!pack.bundleIdentifiers)
            continue;
        for (const auto& identifier : *pack.bundleIdentifiers) {
            softwareIDByBundleIdentifier_.insert_or_assign(text::lowercased(identifier), pack.id);
        }
    }

    // Moving `software` kept every pack in place, so the sections still point
    // at the packs the store holds.
    groupedSoftwareCache_ = std::move(catalog.groupedSoftware);
    searchDocuments_ = std::move(catalog.searchDocuments);

    if (!softwareByID_.contains(selectedSoftwareID.get())) {
        selectedSoftwareID = packs.front().id;
        defaults_.setString(keys::kSoftware, selectedSoftwareID.get());
    }
    if (catalog.warnings.empty())
        removeStaleFavorites();
    dataWarnings = std::move(catalog.warnings);
}

const SoftwarePack* ShortcutStore::selectedSoftware() const {
    if (const auto it = softwareByID_.find(selectedSoftwareID.get()); it != softwareByID_.end()) {
        return it->second;
    }
    return software->empty() ? nullptr : &software->front();
}

bool ShortcutStore::selectSoftwareMatchingBundleIdentifier(std::string_view bundleIdentifier) {
    if (isExpanded.get())
        return false;
    const auto it = softwareIDByBundleIdentifier_.find(text::lowercased(bundleIdentifier));
    if (it == softwareIDByBundleIdentifier_.end())
        return false;
    if (it->second == selectedSoftwareID.get())
        return false;
    // A fallback row may name a pack that is not loaded; nothing is selected
    // then, and the answer says so.
    if (!softwareByID_.contains(it->second))
        return false;
    selectSoftware(it->second);
    return true;
}

void ShortcutStore::selectSoftware(const std::string& id) {
    if (!softwareByID_.contains(id))
        return;
    if (selectedSoftwareID.get() != id) {
        selectedSoftwareID = id;
        defaults_.setString(keys::kSoftware, id);
    }
    if (selectedCategoryID.get() != "all")
        selectedCategoryID = std::string("all");
    if (favoriteOnly.get())
        favoriteOnly = false;
    if (!query->empty())
        query = std::string();
}

void ShortcutStore::selectCategory(const std::string& id) {
    std::string target = "all";
    if (id == "all") {
        target = id;
    } else if (const SoftwarePack* pack = selectedSoftware()) {
        const bool known = std::any_of(pack->categories.begin(), pack->categories.end(),
                                       [&](const ShortcutCategory& c) { return c.id == id; });
        if (known)
            target = id;
    }
    if (selectedCategoryID.get() != target)
        selectedCategoryID = std::move(target);
}

void ShortcutStore::toggleLanguage() {
    language = language.get() == AppLanguage::zh ? AppLanguage::en : AppLanguage::zh;
    defaults_.setString(keys::kLanguage, std::string(rawValue(language.get())));
}

void ShortcutStore::toggleTheme() {
    theme = theme.get() == AppTheme::dark ? AppTheme::light : AppTheme::dark;
    defaults_.setString(keys::kTheme, std::string(rawValue(theme.get())));
}

void ShortcutStore::setPinned(bool pinned) {
    if (isPinned.get() == pinned)
        return;
    isPinned = pinned;
    defaults_.setBool(keys::kPinned, pinned);
}

void ShortcutStore::toggleFavorite(const ShortcutItem& item) {
    favorites = favorites->toggled(itemKey(selectedSoftwareID.get(), item.id));
    ++favoritesRevision_;
    saveFavorites();
}

void ShortcutStore::removeStaleFavorites() {
    FavoriteSet kept = favorites->filtered([this](std::string_view key) { return hasItem(key); });
    // The same set when every key was kept: compared at once.
    if (kept == favorites.get())
        return;
    favorites = std::move(kept);
    ++favoritesRevision_;
    saveFavorites();
}

bool ShortcutStore::hasItem(std::string_view key) const {
    // Every item of every loaded pack has its search document under its key,
    // however many ':' the pack id holds.
    return searchDocuments_.contains(key);
}

void ShortcutStore::saveFavorites() {
    defaults_.setStringArray(keys::kFavorites, favorites->toArray());
}

}  // namespace corvanta
