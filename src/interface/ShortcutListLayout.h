// The shortcut list's flat layout: one entry per section header and row, with
// its top in content coordinates, built from the store's filtered result and
// kept until that result's inputs change. Rows are addressed by section and
// row index, since one item id can occur in two categories of a merged pack.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "catalog/AppLanguage.h"
#include "catalog/FavoriteSet.h"

namespace corvanta {

class ShortcutStore;

class ShortcutListLayout {
public:
    static constexpr int kHeaderHeight = 28;
    static constexpr int kBottomPadding = 10;

    enum class Content { loadFailure, verification, noResults, sections };
    // A header (row −1) or a row, with its top in content coordinates.
    struct Entry {
        int top;
        int section;
        int row;
    };

    explicit ShortcutListLayout(int rowHeight) : rowHeight_(rowHeight) {}

    // Whether the entries were built from the store's current result.
    bool isCurrent(const ShortcutStore& store) const;
    // Rebuilds the entries when the result's inputs changed; true when it did.
    bool sync(ShortcutStore& store);

    Content content() const { return content_; }
    const std::vector<Entry>& entries() const { return entries_; }
    // What each entry shows, the same for as long as it is shown: the pack,
    // the category and, for a row, the item.
    const std::vector<std::string>& entryKeys() const { return keys_; }
    // The entry index of a key; −1 for one that is not shown.
    int entryIndexOf(const std::string& key) const;
    // Indices of every row, in display order.
    const std::vector<std::pair<int, int>>& rows() const { return rows_; }
    int sectionCount() const { return static_cast<int>(sectionStarts_.size()); }
    int rowCount(int section) const;
    const Entry* entryFor(int section, int row) const;
    // The entry at `contentY` (the last one that starts at or above it).
    int entryIndexAt(int contentY) const;
    // The section whose header is pinned at the top when scrolled by
    // `offset`, and that header's top edge in viewport coordinates (0, or less
    // while the next one pushes it).
    std::optional<std::pair<int, int>> pinnedHeader(int offset) const;
    int contentHeight() const { return contentHeight_; }
    int rebuildCount() const { return rebuildCount_; }

private:
    // Everything the entries depend on; an equal source means the store's
    // filtered result is the one the entries were built from.
    struct Source {
        bool loadError = false;
        std::string softwareID;
        std::string categoryID;
        std::string query;
        bool favoriteOnly = false;
        FavoriteSet favorites;
        AppLanguage language = AppLanguage::en;
        bool operator==(const Source&) const = default;
        // Compared in place: the painting paths ask for every row.
        bool matches(const ShortcutStore& store) const;
    };

    void addKey(std::string key);

    int rowHeight_;
    std::optional<Source> source_;
    Content content_ = Content::noResults;
    std::vector<Entry> entries_;
    std::vector<std::string> keys_;
    std::unordered_map<std::string, int> keyIndex_;
    // (section, row) of each row entry, kept with the entries: assistive
    // technology asks for rows by position, one after another.
    std::vector<std::pair<int, int>> rows_;
    std::vector<int> sectionStarts_;  // entry index of each header
    int contentHeight_ = 0;
    int rebuildCount_ = 0;
};

}  // namespace corvanta
