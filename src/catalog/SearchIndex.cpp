// The search index: every catalog text is normalised once, at load, into one
// document per shortcut; and the match rule and score over those documents.
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>

#include "catalog/Normalize.h"
#include "catalog/SearchScoring.h"
#include "catalog/ShortcutItem.h"

namespace corvanta::detail {
namespace {

void forEachWord(std::string_view text, auto&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start)
            visit(text.substr(start, end - start));
        start = end + 1;
    }
}

// The texts are gathered in a scratch buffer first, then written in their
// final order into `haystack`, which the document views; all three buffers
// are the caller's and keep their capacity from one shortcut to the next.
SearchDocument makeDocument(const ShortcutItem& item, std::string_view categoryText,
                            std::string& scratch, std::string& caps, std::string& haystack) {
    SearchDocument doc;
    scratch.clear();
    appendNormalized(item.zh, scratch);
    doc.titleZhEnd = static_cast<std::uint32_t>(scratch.size());
    scratch.push_back(' ');
    appendNormalized(item.en, scratch);
    doc.titleEnd = static_cast<std::uint32_t>(scratch.size());
    scratch.push_back(' ');

    // Each present key list, joined and normalised, after the title; then
    // sorted and made distinct as views before they are written in order.
    const std::size_t keysBegin = scratch.size();
    std::array<std::pair<std::size_t, std::size_t>, 3> spans{};
    std::size_t count = 0;
    const auto addKeys = [&](const std::vector<std::string>& list) {
        caps.clear();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (i > 0)
                caps.push_back(' ');
            caps += list[i];
        }
        const std::size_t begin = scratch.size();
        appendNormalized(caps, scratch);
        spans[count++] = {begin, scratch.size()};
    };
    addKeys(item.keys);
    if (item.keysZh)
        addKeys(*item.keysZh);
    if (item.keysEn)
        addKeys(*item.keysEn);
    std::array<std::string_view, 3> variants{};
    for (std::size_t i = 0; i < count; ++i) {
        variants[i] =
            std::string_view(scratch).substr(spans[i].first, spans[i].second - spans[i].first);
    }
    // At most three entries: a small insertion sort, then drop repeats.
    for (std::size_t i = 1; i < count; ++i) {
        for (std::size_t k = i; k > 0 && variants[k] < variants[k - 1]; --k) {
            std::swap(variants[k], variants[k - 1]);
        }
    }
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (distinct == 0 || variants[i] != variants[distinct - 1])
            variants[distinct++] = variants[i];
    }
    count = distinct;

    haystack.assign(scratch, 0, keysBegin);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            haystack.push_back(' ');
        haystack.append(variants[i]);
        doc.keyVariantEnds[i] = static_cast<std::uint32_t>(haystack.size());
    }
    doc.keyVariantCount = static_cast<std::uint32_t>(count);
    haystack.push_back(' ');
    caps.clear();
    for (std::size_t i = 0; i < item.tags.size(); ++i) {
        if (i > 0)
            caps.push_back(' ');
        caps += item.tags[i];
    }
    appendNormalized(caps, haystack);
    doc.tagsEnd = static_cast<std::uint32_t>(haystack.size());
    haystack.push_back(' ');
    haystack.append(categoryText);
    doc.haystack = haystack;

    forEachWord(doc.haystack, [&](std::string_view word) {
        if (word.size() == 1 && static_cast<unsigned char>(word[0]) < 0x80) {
            doc.asciiWords.set(static_cast<unsigned char>(word[0]));
        }
    });
    return doc;
}

bool contains(std::string_view haystack, std::string_view needle) {
    return haystack.find(needle) != std::string_view::npos;
}

// Points for the best relation of `q` to any of the variants.
template <class Variant>
int variantPoints(std::size_t count, Variant&& variant, std::string_view q, int equal, int prefix,
                  int inside) {
    for (std::size_t i = 0; i < count; ++i) {
        if (variant(i) == q)
            return equal;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (variant(i).starts_with(q))
            return prefix;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (contains(variant(i), q))
            return inside;
    }
    return 0;
}

}  // namespace

SearchDocuments buildSearchDocuments(const std::vector<SoftwarePack>& software) {
    SearchDocuments documents;
    std::size_t count = 0;
    for (const auto& pack : software) count += static_cast<std::size_t>(pack.shortcutCount());
    documents.reserve(count);
    std::string scratch;
    std::string caps;
    std::string haystack;
    std::string categoryText;
    std::string key;
    for (const auto& pack : software) {
        for (const auto& category : pack.categories) {
            caps.assign(category.zh).push_back(' ');
            caps.append(category.en);
            categoryText.clear();
            appendNormalized(caps, categoryText);
            for (const auto& item : category.items) {
                // As ShortcutStore::itemKey, without a string per shortcut.
                key.assign(pack.id).push_back(':');
                key.append(item.id);
                // The key's slot comes from memory while the document is
                // made; in a large catalog it is seldom in the cache.
                const std::uint64_t hash = documents.prefetch(key);
                documents.insertOrAssign(key, hash,
                                         makeDocument(item, categoryText, scratch, caps, haystack));
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
    const auto titles = document.titleVariants();
    int score = variantPoints(
        document.keyVariantsCount(), [&](std::size_t i) { return document.keyVariant(i); }, query,
        1200, 900, 700);
    score += variantPoints(
        titles.size(), [&](std::size_t i) { return titles[i]; }, query, 1000, 800, 600);
    const std::string_view title = document.title();
    const std::string_view keys = document.keys();
    const std::string_view tags = document.tags();
    if (contains(tags, query))
        score += 300;
    if (contains(document.category(), query))
        score += 150;
    for (const std::string_view token : tokens) {
        if (contains(title, token))
            score += 40;
        if (contains(keys, token))
            score += 35;
        if (contains(tags, token))
            score += 15;
    }
    return score;
}

}  // namespace corvanta::detail

namespace corvanta {

namespace {

constexpr std::uint64_t kPositionMask = 0xFFFFFFFFu;

std::uint64_t hashOf(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

// The upper hash bits that a slot keeps, never zero together with a position.
std::uint64_t tagOf(std::uint64_t hash) {
    return hash & ~kPositionMask;
}

}  // namespace

void SearchDocuments::reserve(std::size_t count) {
    keys_.reserve(count);
    documents_.reserve(count);
    std::size_t slots = 16;
    while (slots < 2 * count) slots *= 2;
    if (slots > slots_.size())
        grow(slots);
}

void SearchDocuments::grow(std::size_t slotCount) {
    slots_.assign(slotCount, 0);
    for (std::size_t position = 0; position < keys_.size(); ++position) {
        const std::uint64_t hash = hashOf(keys_[position]);
        slots_[probe(keys_[position], hash)] = tagOf(hash) | (position + 1);
    }
}

std::size_t SearchDocuments::probe(std::string_view key, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint64_t tag = tagOf(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = slots_[slot];
        if (entry == 0)
            return slot;
        if ((entry & ~kPositionMask) == tag && keys_[(entry & kPositionMask) - 1] == key)
            return slot;
    }
}

std::uint64_t SearchDocuments::prefetch(std::string_view key) const {
    const std::uint64_t hash = hashOf(key);
    if (!slots_.empty())
        __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
    return hash;
}

void SearchDocuments::insertOrAssign(std::string_view key, const SearchDocument& document) {
    insertOrAssign(key, hashOf(key), document);
}

void SearchDocuments::insertOrAssign(std::string_view key, std::uint64_t hash,
                                     const SearchDocument& document) {
    if (2 * (keys_.size() + 1) > slots_.size())
        grow(std::max<std::size_t>(16, 2 * slots_.size()));
    const std::size_t slot = probe(key, hash);
    SearchDocument stored = document;
    stored.haystack = text_.store(document.haystack);
    if (slots_[slot] != 0) {
        documents_[(slots_[slot] & kPositionMask) - 1] = stored;
        return;
    }
    keys_.push_back(text_.store(key));
    documents_.push_back(stored);
    slots_[slot] = tagOf(hash) | keys_.size();
}

const SearchDocument* SearchDocuments::find(std::string_view key) const {
    if (slots_.empty())
        return nullptr;
    const std::uint64_t entry = slots_[probe(key, hashOf(key))];
    return entry == 0 ? nullptr : &documents_[(entry & kPositionMask) - 1];
}

const SearchDocument& SearchDocuments::at(std::string_view key) const {
    if (const SearchDocument* document = find(key))
        return *document;
    throw std::out_of_range("no search document for " + std::string(key));
}

bool SearchDocuments::operator==(const SearchDocuments& other) const {
    if (size() != other.size())
        return false;
    for (std::size_t position = 0; position < keys_.size(); ++position) {
        const SearchDocument* theirs = other.find(keys_[position]);
        if (!theirs || !(*theirs == documents_[position]))
            return false;
    }
    return true;
}

std::vector<std::string_view> SearchDocument::tokens() const {
    std::vector<std::string_view> words;
    detail::forEachWord(haystack, [&](std::string_view word) { words.push_back(word); });
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

bool SearchDocument::hasToken(std::string_view word) const {
    if (word.size() == 1 && static_cast<unsigned char>(word[0]) < 0x80) {
        return asciiWords.test(static_cast<unsigned char>(word[0]));
    }
    bool found = false;
    detail::forEachWord(haystack, [&](std::string_view w) { found = found || w == word; });
    return found;
}

std::array<std::string_view, 2> SearchDocument::titleVariants() const {
    return {part(0, titleZhEnd), part(titleZhEnd + 1u, titleEnd)};
}

std::string_view SearchDocument::keyVariant(std::size_t index) const {
    const std::size_t begin = index == 0 ? keysBegin() : keyVariantEnds[index - 1] + 1u;
    return part(begin, keyVariantEnds[index]);
}

std::vector<std::string_view> SearchDocument::keyVariants() const {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < keyVariantCount; ++i) out.push_back(keyVariant(i));
    return out;
}

}  // namespace corvanta
