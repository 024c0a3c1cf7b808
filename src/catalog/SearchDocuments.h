// The search index: one document per item key (`<pack id>:<item id>`). The
// documents lie in one array in the order they were added, found through an
// open-addressing table of positions; keys and document texts are copied
// into one arena. Building the index so takes a few large blocks instead of
// a node and two strings per shortcut, and grows linearly with the catalog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/SearchDocument.h"
#include "catalog/TextArena.h"

namespace corvanta {

class SearchDocuments {
public:
    SearchDocuments() = default;
    SearchDocuments(SearchDocuments&&) noexcept = default;
    SearchDocuments& operator=(SearchDocuments&&) noexcept = default;
    // The documents view texts of this index's own arena.
    SearchDocuments(const SearchDocuments&) = delete;
    SearchDocuments& operator=(const SearchDocuments&) = delete;

    // Room for `count` documents without growing.
    void reserve(std::size_t count);
    // Stores a copy of `document` and of its text under `key`; an equal key
    // keeps its place and takes the new document.
    void insertOrAssign(std::string_view key, const SearchDocument& document);
    // The same with the key's hash as `prefetch` returned it.
    void insertOrAssign(std::string_view key, std::uint64_t hash, const SearchDocument& document);
    // Starts bringing the key's slot into the cache, so that an insert made a
    // little later need not wait for memory; returns the key's hash.
    std::uint64_t prefetch(std::string_view key) const;

    std::size_t size() const { return keys_.size(); }
    bool empty() const { return keys_.empty(); }
    // Nothing for an unknown key.
    const SearchDocument* find(std::string_view key) const;
    bool contains(std::string_view key) const { return find(key) != nullptr; }
    // Throws std::out_of_range for an unknown key.
    const SearchDocument& at(std::string_view key) const;

    // The same keys with equal documents, in any order.
    bool operator==(const SearchDocuments& other) const;

private:
    // The slot that holds `key`, or the empty slot where it belongs.
    std::size_t probe(std::string_view key, std::uint64_t hash) const;
    void grow(std::size_t slotCount);

    TextArena text_;  // the keys and the documents' haystacks
    std::vector<std::string_view> keys_;
    std::vector<SearchDocument> documents_;
    // Per slot: the key's upper hash bits, then its position + 1; 0 is empty.
    // A power-of-two count, at most half full.
    std::vector<std::uint64_t> slots_;
};

}  // namespace corvanta
