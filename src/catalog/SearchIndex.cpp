// The search index: every catalog text is normalised once, at load, into one
// document per shortcut; and the match rule and score over those documents.
#include <algorithm>
#include <utility>

#include "catalog/Normalize.h"
#include "catalog/SearchScoring.h"
#include "catalog/ShortcutStore.h"

namespace corvanta::detail {
namespace {

std::string joined(const std::vector<std::string>& parts) {
    std::size_t size = parts.empty() ? 0 : parts.size() - 1;
    for (const auto& part : parts) size += part.size();
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out.push_back(' ');
        out += parts[i];
    }
    return out;
}

SearchDocument makeDocument(const ShortcutItem& item, const std::string& categoryText) {
    SearchDocument doc;
    doc.titleVariants = {normalize(item.zh), normalize(item.en)};
    doc.keyVariants.push_back(normalize(joined(item.keys)));
    if (item.keysZh)
        doc.keyVariants.push_back(normalize(joined(*item.keysZh)));
    if (item.keysEn)
        doc.keyVariants.push_back(normalize(joined(*item.keysEn)));
    std::sort(doc.keyVariants.begin(), doc.keyVariants.end());
    doc.keyVariants.erase(std::unique(doc.keyVariants.begin(), doc.keyVariants.end()),
                          doc.keyVariants.end());
    doc.title = joined(doc.titleVariants);
    doc.keys = joined(doc.keyVariants);
    doc.tags = normalize(joined(item.tags));
    doc.category = categoryText;
    doc.haystack = doc.title + ' ' + doc.keys + ' ' + doc.tags + ' ' + doc.category;

    const std::string_view haystack = doc.haystack;
    std::size_t start = 0;
    while (start < haystack.size()) {
        const std::size_t end = std::min(haystack.find(' ', start), haystack.size());
        if (end > start)
            doc.tokens.emplace_back(haystack.substr(start, end - start));
        start = end + 1;
    }
    std::sort(doc.tokens.begin(), doc.tokens.end());
    doc.tokens.erase(std::unique(doc.tokens.begin(), doc.tokens.end()), doc.tokens.end());
    return doc;
}

bool contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

template <class Variants>
int variantPoints(const Variants& variants, std::string_view q, int equal, int prefix, int inside) {
    for (const auto& v : variants) {
        if (v == q)
            return equal;
    }
    for (const auto& v : variants) {
        if (std::string_view(v).starts_with(q))
            return prefix;
    }
    for (const auto& v : variants) {
        if (contains(v, q))
            return inside;
    }
    return 0;
}

}  // namespace

std::unordered_map<std::string, SearchDocument> buildSearchDocuments(
    const std::vector<SoftwarePack>& software) {
    std::unordered_map<std::string, SearchDocument> documents;
    std::size_t count = 0;
    for (const auto& pack : software) count += static_cast<std::size_t>(pack.shortcutCount());
    documents.reserve(count);
    for (const auto& pack : software) {
        for (const auto& category : pack.categories) {
            const std::string categoryText = normalize(category.zh + ' ' + category.en);
            for (const auto& item : category.items) {
                documents.insert_or_assign(ShortcutStore::itemKey(pack.id, item.id),
                                           makeDocument(item, categoryText));
            }
        }
    }
    return documents;
}

bool tokenMatches(std::string_view token, const SearchDocument& document) {
    if (token.size() == 1 && static_cast<unsigned char>(token[0]) < 0x80) {
        return document.hasToken(token);
    }
    return contains(document.haystack, token);
}

int searchScore(const SearchDocument& document, std::string_view query,
                const std::vector<std::string_view>& tokens) {
    int score = variantPoints(document.keyVariants, query, 1200, 900, 700);
    score += variantPoints(document.titleVariants, query, 1000, 800, 600);
    if (contains(document.tags, query))
        score += 300;
    if (contains(document.category, query))
        score += 150;
    for (const std::string_view token : tokens) {
        if (contains(document.title, token))
            score += 40;
        if (contains(document.keys, token))
            score += 35;
        if (contains(document.tags, token))
            score += 15;
    }
    return score;
}

}  // namespace corvanta::detail

namespace corvanta {

void ShortcutStore::buildSearchIndex() {
    searchDocuments_ = detail::buildSearchDocuments(software.get());
}

}  // namespace corvanta
