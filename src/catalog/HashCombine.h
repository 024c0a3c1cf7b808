// Field-by-field hashing of the catalog records: each field is mixed into a
// running seed in declaration order, lists element by element.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvanta::detail {

inline void hashCombine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

template <class T>
void hashField(std::size_t& seed, const T& value) {
    hashCombine(seed, std::hash<T>{}(value));
}

template <class T>
void hashField(std::size_t& seed, const std::vector<T>& values) {
    hashCombine(seed, values.size());
    for (const auto& value : values) hashField(seed, value);
}

// An absent optional hashes apart from every present one, also an empty list.
template <class T>
void hashField(std::size_t& seed, const std::optional<T>& value) {
    hashCombine(seed, value.has_value() ? 1 : 0);
    if (value)
        hashField(seed, *value);
}

}  // namespace corvanta::detail
