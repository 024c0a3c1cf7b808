// See ShortcutListLayout.h.
#include "interface/ShortcutListLayout.h"

#include <algorithm>

#include "catalog/ShortcutStore.h"

namespace corvanta {

bool ShortcutListLayout::Source::matches(const ShortcutStore& store) const {
    return loadError == store.loadError->has_value() &&
           softwareID == store.selectedSoftwareID.get() &&
           categoryID == store.selectedCategoryID.get() && query == store.query.get() &&
           favoriteOnly == store.favoriteOnly.get() && favorites == store.favorites.get() &&
           language == store.language.get();
}

bool ShortcutListLayout::isCurrent(const ShortcutStore& store) const {
    return source_ && source_->matches(store);
}

bool ShortcutListLayout::sync(ShortcutStore& store) {
    if (isCurrent(store))
        return false;
    source_ = Source{store.loadError->has_value(),
                     store.selectedSoftwareID.get(),
                     store.selectedCategoryID.get(),
                     store.query.get(),
                     store.favoriteOnly.get(),
                     store.favorites.get(),
                     store.language.get()};
    ++rebuildCount_;
    entries_.clear();
    keys_.clear();
    keyIndex_.clear();
    rows_.clear();
    sectionStarts_.clear();
    contentHeight_ = 0;

    // The first test that holds decides what is shown.
    const SoftwarePack* pack = store.selectedSoftware();
    if (source_->loadError) {
        content_ = Content::loadFailure;
    } else if (pack && pack->dataStatus == SoftwareDataStatus::catalogOnly) {
        content_ = Content::verification;
    } else if (store.filteredSections().empty()) {
        content_ = Content::noResults;
    } else {
        content_ = Content::sections;
        const auto& sections = store.filteredSections();
        int top = 0;
        for (std::size_t s = 0; s < sections.size(); ++s) {
            const std::string section = source_->softwareID + '\n' + sections[s].id();
            sectionStarts_.push_back(static_cast<int>(entries_.size()));
            addKey(section);
            entries_.push_back({top, static_cast<int>(s), -1});
            top += kHeaderHeight;
            for (std::size_t r = 0; r < sections[s].items.size(); ++r) {
                addKey(section + '\n' + sections[s].items[r].id);
                entries_.push_back({top, static_cast<int>(s), static_cast<int>(r)});
                rows_.emplace_back(static_cast<int>(s), static_cast<int>(r));
                top += rowHeight_;
            }
        }
        contentHeight_ = top + kBottomPadding;
    }
    return true;
}

void ShortcutListLayout::addKey(std::string key) {
    // A key seen before in this result (an item listed twice) is told apart
    // by how often it came before.
    const std::string base = key;
    for (int seen = 1; keyIndex_.count(key); ++seen) key = base + '\n' + std::to_string(seen);
    keyIndex_.emplace(key, static_cast<int>(keys_.size()));
    keys_.push_back(std::move(key));
}

int ShortcutListLayout::entryIndexOf(const std::string& key) const {
    const auto found = keyIndex_.find(key);
    return found == keyIndex_.end() ? -1 : found->second;
}

int ShortcutListLayout::rowCount(int section) const {
    if (section < 0 || section >= sectionCount())
        return 0;
    const std::size_t start = static_cast<std::size_t>(sectionStarts_[section]);
    const std::size_t end = section + 1 < sectionCount()
                                ? static_cast<std::size_t>(sectionStarts_[section + 1])
                                : entries_.size();
    return static_cast<int>(end - start) - 1;
}

const ShortcutListLayout::Entry* ShortcutListLayout::entryFor(int section, int row) const {
    if (row < 0 || row >= rowCount(section))
        return nullptr;
    return &entries_[static_cast<std::size_t>(sectionStarts_[section] + 1 + row)];
}

int ShortcutListLayout::entryIndexAt(int contentY) const {
    const auto after = std::upper_bound(entries_.begin(), entries_.end(), contentY,
                                        [](int y, const Entry& entry) { return y < entry.top; });
    return std::max(0, static_cast<int>(after - entries_.begin()) - 1);
}

std::optional<std::pair<int, int>> ShortcutListLayout::pinnedHeader(int offset) const {
    if (content_ != Content::sections || entries_.empty())
        return std::nullopt;
    const int section = entries_[static_cast<std::size_t>(entryIndexAt(offset))].section;
    int top = 0;
    if (section + 1 < sectionCount()) {
        const int next = entries_[static_cast<std::size_t>(sectionStarts_[section + 1])].top;
        top = std::min(0, next - offset - kHeaderHeight);
    }
    return std::make_pair(section, top);
}

}  // namespace corvanta
