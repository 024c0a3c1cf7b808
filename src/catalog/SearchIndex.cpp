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

void forEachWord(std::string_view text, auto&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start)
            visit(text.substr(start, end - start));
        start = end + 1;
    }
}

SearchDocument makeDocument(const ShortcutItem& item, const std::string& categoryText,
                            std::string& scratch) {
    SearchDocument doc;
    doc.titleVariants.reserve(2);
    doc.titleVariants.push_back(normalize(item.zh));
    doc.titleVariants.push_back(normalize(item.en));
    const auto normalizedKeys = [&](const std::vector<std::string>& caps) {
        scratch.clear();
        for (std::size_t i = 0; i < caps.size(); ++i) {
            if (i > 0)
                scratch.push_back(' ');
            scratch += caps[i];
        }
        return normalize(scratch);
    };
    doc.keyVariants.reserve(1 + (item.keysZh ? 1 : 0) + (item.keysEn ? 1 : 0));
    doc.keyVariants.push_back(normalizedKeys(item.keys));
    if (item.keysZh)
        doc.keyVariants.push_back(normalizedKeys(*item.keysZh));
    if (item.keysEn)
        doc.keyVariants.push_back(normalizedKeys(*item.keysEn));
    if (doc.keyVariants.size() > 1) {
        std::sort(doc.keyVariants.begin(), doc.keyVariants.end());
        doc.keyVariants.erase(std::unique(doc.keyVariants.begin(), doc.keyVariants.end()),
                              doc.keyVariants.end());
    }
    doc.title = joined(doc.titleVariants);
    doc.keys = joined(doc.keyVariants);
    doc.tags = normalizedKeys(item.tags);
    doc.category = categoryText;

    doc.haystack.reserve(doc.title.size() + doc.keys.size() + doc.tags.size() +
                         doc.category.size() + 3);
    doc.haystack += doc.title;
    doc.haystack += ' ';
    doc.haystack += doc.keys;
    doc.haystack += ' ';
    doc.haystack += doc.tags;
    doc.haystack += ' ';
    doc.haystack += doc.category;

    forEachWord(doc.haystack, [&](std::string_view word) {
        if (word.size() == 1 && static_cast<unsigned char>(word[0]) < 0x80) {
            doc.asciiLetterTokens.set(static_cast<unsigned char>(word[0]));
        }
    });
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
    std::string scratch;
    for (const auto& pack : software) {
        for (const auto& category : pack.categories) {
            const std::string categoryText = normalize(category.zh + ' ' + category.en);
            for (const auto& item : category.items) {
                documents.insert_or_assign(ShortcutStore::itemKey(pack.id, item.id),
                                           makeDocument(item, categoryText, scratch));
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

std::vector<std::string_view> SearchDocument::tokens() const {
    std::vector<std::string_view> words;
    detail::forEachWord(haystack, [&](std::string_view word) { words.push_back(word); });
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

bool SearchDocument::hasToken(std::string_view word) const {
    if (word.size() == 1 && static_cast<unsigned char>(word[0]) < 0x80) {
        return asciiLetterTokens.test(static_cast<unsigned char>(word[0]));
    }
    bool found = false;
    detail::forEachWord(haystack, [&](std::string_view w) { found = found || w == word; });
    return found;
}

void ShortcutStore::buildSearchIndex() {
    searchDocuments_ = detail::buildSearchDocuments(software.get());
}

}  // namespace corvanta
