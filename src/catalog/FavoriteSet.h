// The favourite shortcuts: item keys (`<pack id>:<item id>`), each once, in
// byte order (for UTF-8, code-point order), which is also the order of the
// stored array. The keys lie in one shared, unchanging block of text: a copy
// of the set costs a reference count and equal copies compare at once (the
// list layout keeps the set it was built from and compares it with the
// store's on every row), and a set of many keys is one allocation, not one
// per key.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvanta {

class FavoriteSet {
public:
    using value_type = std::string_view;
    using const_iterator = std::vector<std::string_view>::const_iterator;
    using iterator = const_iterator;

    FavoriteSet() = default;
    // Keys in any order; repeats count once.
    explicit FavoriteSet(const std::vector<std::string>& keys);
    FavoriteSet(std::initializer_list<std::string_view> keys);

    bool contains(std::string_view key) const;
    std::size_t size() const { return keys().size(); }
    bool empty() const { return size() == 0; }
    const_iterator begin() const { return keys().begin(); }
    const_iterator end() const { return keys().end(); }

    // The array to store: the keys in byte order.
    std::vector<std::string> toArray() const;

    // With `key` added when it is absent, taken out when it is present.
    FavoriteSet toggled(std::string_view key) const;
    // The keys `keep` accepts; this same set when it accepts them all.
    FavoriteSet filtered(const std::function<bool(std::string_view)>& keep) const;

    friend bool operator==(const FavoriteSet& a, const FavoriteSet& b);

private:
    struct Keys {
        std::string text;
        std::vector<std::string_view> keys;  // into `text`, sorted, unique
    };
    // From keys already sorted and unique.
    static FavoriteSet ofSorted(const std::vector<std::string_view>& sorted);
    const std::vector<std::string_view>& keys() const;

    std::shared_ptr<const Keys> keys_;
};

}  // namespace corvanta
