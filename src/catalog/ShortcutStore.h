// The catalog's model object: the loaded packs and their derived tables, the
// selection, search and favourites state, the interface settings, and the
// local submissions. Every change of published state is announced first.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/FavoriteSet.h"
#include "catalog/FilterCacheKey.h"
#include "catalog/SearchDocuments.h"
#include "catalog/ShortcutModels.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Observable.h"
#include "platform/foundation/UserDefaults.h"

namespace corvanta {

class CatalogPreload;

class ShortcutStore final : public platform::ObservableObject {
public:
    // Reads the saved settings, then loads the whole catalog of `bundle`, taking
    // it from `preload` when that read it ahead.
    ShortcutStore(const platform::Bundle& bundle, platform::UserDefaults& defaults,
                  CatalogPreload* preload = nullptr);

    platform::Published<std::vector<SoftwarePack>> software{*this, {}};
    platform::Published<std::optional<std::string>> loadError{*this, std::nullopt};
    platform::Published<std::vector<std::string>> dataWarnings{*this, {}};
    platform::Published<std::string> selectedSoftwareID{*this, {}};
    platform::Published<AppLanguage> language{*this, AppLanguage::en};
    platform::Published<AppTheme> theme{*this, AppTheme::dark};
    platform::Published<std::string> selectedCategoryID{*this, "all"};
    platform::Published<std::string> query{*this, {}};
    platform::Published<bool> favoriteOnly{*this, false};
    platform::Published<bool> isExpanded{*this, false};
    platform::Published<int> escapeRequestID{*this, 0};
    platform::Published<int> dismissSearchRequestID{*this, 0};
    platform::Published<bool> isPinned{*this, true};
    platform::Published<FavoriteSet> favorites{*this, {}};

    // The pack on show: the selected one, else the first; none without a catalog.
    const SoftwarePack* selectedSoftware() const;
    // Follows the front-most application; false when nothing changed.
    bool selectSoftwareMatchingBundleIdentifier(std::string_view bundleIdentifier);
    void selectSoftware(const std::string& id);
    void selectCategory(const std::string& id);
    void toggleLanguage();
    void toggleTheme();
    void setPinned(bool pinned);
    void toggleFavorite(const ShortcutItem& item);

    int shownCount();
    std::string resultTitle() const;
    const std::vector<ShortcutSection>& filteredSections();

    // Blank messages and names are ignored; lists keep the newest 100 records.
    // True when the record is in the settings afterwards; false when nothing
    // was stored (blank input, text that cannot be encoded, a refused write).
    [[nodiscard]] bool submitFeedback(std::string_view message, std::string_view contact);
    [[nodiscard]] bool submitSoftwareRequest(std::string_view name, std::string_view contact,
                                             SoftwareGroup group);

    // Pack id -> the pack in `software`, which never changes after the load.
    const std::unordered_map<std::string, const SoftwarePack*>& softwareByID() const {
        return softwareByID_;
    }
    const std::unordered_map<std::string, std::string>& softwareIDByBundleIdentifier() const {
        return softwareIDByBundleIdentifier_;
    }
    const std::vector<SoftwareGroupSection>& groupedSoftwareCache() const {
        return groupedSoftwareCache_;
    }
    // Item key -> search document; built with the catalog, so it is complete
    // from construction on.
    const SearchDocuments& searchDocuments() const { return searchDocuments_; }
    platform::UserDefaults& defaults() const { return defaults_; }

    // Lower-case bundle identifier -> pack id for applications whose packs do
    // not list their own identifiers; the packs' identifiers override it.
    static const std::unordered_map<std::string, std::string>&
    fallbackSoftwareIDByBundleIdentifier();

    // `<pack id>:<item id>`, the key of favourites and search documents.
    static std::string itemKey(std::string_view packID, std::string_view itemID);

private:
    void loadShortcutLibrary(const platform::Bundle& bundle, CatalogPreload* preload);
    bool hasItem(std::string_view key) const;
    void removeStaleFavorites();
    void saveFavorites();
    // The query normalised, worked out again only when the query changes: a
    // pasted megabyte takes milliseconds, and a render asks several times.
    const std::string& normalizedQuery();

    platform::UserDefaults& defaults_;
    std::unordered_map<std::string, const SoftwarePack*> softwareByID_;
    std::unordered_map<std::string, std::string> softwareIDByBundleIdentifier_;
    std::vector<SoftwareGroupSection> groupedSoftwareCache_;
    SearchDocuments searchDocuments_;
    std::optional<FilterCacheKey> cachedFilterKey_;
    std::optional<std::string> normalizedQueryFor_;
    std::string normalizedQuery_;
    std::vector<ShortcutSection> cachedFilteredSections_;
    int favoritesRevision_ = 0;
};

}  // namespace corvanta
