// The filtered, searched and ranked shortcut list of the selected pack, with a
// one-entry cache keyed by everything that decides it.
#include <algorithm>

#include "catalog/Normalize.h"
#include "catalog/SearchScoring.h"
#include "catalog/ShortcutStore.h"
#include "platform/foundation/Text.h"

namespace corvanta {
namespace {

struct Ranked {
    int score;
    std::size_t position;
};

// Higher score first; equal scores keep catalog order.
bool ranksBefore(const Ranked& a, const Ranked& b) {
    return a.score != b.score ? a.score > b.score : a.position < b.position;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start)
            out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

}  // namespace

const std::string& ShortcutStore::normalizedQuery() {
    if (normalizedQueryFor_ != query.get()) {
        normalizedQuery_ = normalize(query.get());
        normalizedQueryFor_ = query.get();
    }
    return normalizedQuery_;
}

const std::vector<ShortcutSection>& ShortcutStore::filteredSections() {
    static const std::vector<ShortcutSection> kNone;
    FilterCacheKey key{selectedSoftwareID.get(), selectedCategoryID.get(), normalizedQuery(),
                       favoriteOnly.get(), favoritesRevision_};
    if (cachedFilterKey_ && *cachedFilterKey_ == key)
        return cachedFilteredSections_;

    const SoftwarePack* pack = selectedSoftware();
    if (!pack)
        return kNone;

    const auto& categories = pack->categories;
    const bool categoryKnown =
        std::any_of(categories.begin(), categories.end(),
                    [&](const ShortcutCategory& c) { return c.id == key.categoryID; });
    const std::string& effectiveCategory = categoryKnown ? key.categoryID : std::string("all");
    const std::vector<std::string_view> tokens = words(key.normalizedQuery);
    const bool searching = !tokens.empty();
    static const SearchDocuments kNoDocuments;
    const auto& documents = searching ? searchDocuments() : kNoDocuments;

    struct Kept {
        Ranked rank;
        const ShortcutItem* item;
    };
    struct KeptSection {
        Ranked rank;
        const ShortcutCategory* category;
        std::vector<const ShortcutItem*> items;
    };
    std::vector<KeptSection> sections;
    std::vector<Kept> kept;
    for (std::size_t c = 0; c < categories.size(); ++c) {
        const ShortcutCategory& category = categories[c];
        if (effectiveCategory != "all" && effectiveCategory != category.id)
            continue;
        kept.clear();
        for (std::size_t i = 0; i < category.items.size(); ++i) {
            const ShortcutItem& item = category.items[i];
            if (key.favoriteOnly && !favorites->contains(itemKey(key.softwareID, item.id)))
                continue;
            int score = 0;
            if (searching) {
                const SearchDocument* doc = documents.find(itemKey(pack->id, item.id));
                if (!doc)
                    continue;
                const bool all = std::all_of(tokens.begin(), tokens.end(), [&](std::string_view t) {
                    return detail::tokenMatches(t, *doc);
                });
                if (!all)
                    continue;
                score = detail::searchScore(*doc, key.normalizedQuery, tokens);
            }
            kept.push_back({{score, i}, &item});
        }
        if (kept.empty())
            continue;
        if (searching) {
            std::sort(kept.begin(), kept.end(),
                      [](const Kept& a, const Kept& b) { return ranksBefore(a.rank, b.rank); });
        }
        KeptSection section{{0, c}, &category, {}};
        section.items.reserve(kept.size());
        for (const Kept& k : kept) {
            section.rank.score = std::max(section.rank.score, k.rank.score);
            section.items.push_back(k.item);
        }
        sections.push_back(std::move(section));
    }
    if (searching) {
        std::sort(sections.begin(), sections.end(), [](const KeptSection& a, const KeptSection& b) {
            return ranksBefore(a.rank, b.rank);
        });
    }

    std::vector<ShortcutSection> result;
    result.reserve(sections.size());
    for (const KeptSection& section : sections) {
        ShortcutSection out{*section.category, {}};
        out.items.reserve(section.items.size());
        for (const ShortcutItem* item : section.items) out.items.push_back(*item);
        result.push_back(std::move(out));
    }
    cachedFilterKey_ = std::move(key);
    cachedFilteredSections_ = std::move(result);
    return cachedFilteredSections_;
}

int ShortcutStore::shownCount() {
    int count = 0;
    for (const auto& section : filteredSections()) count += static_cast<int>(section.items.size());
    return count;
}

std::string ShortcutStore::resultTitle() const {
    const bool zh = language.get() == AppLanguage::zh;
    if (!text::isBlank(query.get())) {
        return (zh ? "搜索结果 · “" : "Search results · “") + query.get() + "”";
    }
    if (favoriteOnly.get())
        return zh ? "已收藏快捷键" : "Favorite shortcuts";
    if (selectedCategoryID.get() != "all") {
        if (const SoftwarePack* pack = selectedSoftware()) {
            for (const auto& category : pack->categories) {
                if (category.id == selectedCategoryID.get())
                    return zh ? category.zh : category.en;
            }
        }
    }
    return zh ? "全部快捷键" : "All shortcuts";
}

}  // namespace corvanta
