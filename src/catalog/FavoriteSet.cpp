// See FavoriteSet.h.
#include "catalog/FavoriteSet.h"

#include <algorithm>
#include <iterator>

namespace corvanta {

FavoriteSet::FavoriteSet(const std::vector<std::string>& keys) {
    std::vector<std::string_view> views(keys.begin(), keys.end());
    // The stored array comes in order from our own writer; a hand-edited one
    // may not.
    if (!std::is_sorted(views.begin(), views.end()))
        std::sort(views.begin(), views.end());
    views.erase(std::unique(views.begin(), views.end()), views.end());
    *this = ofSorted(views);
}

FavoriteSet::FavoriteSet(std::initializer_list<std::string_view> keys)
    : FavoriteSet(std::vector<std::string>(keys.begin(), keys.end())) {}

FavoriteSet FavoriteSet::ofSorted(const std::vector<std::string_view>& sorted) {
    FavoriteSet set;
    if (sorted.empty())
        return set;
    auto keys = std::make_shared<Keys>();
    std::size_t length = 0;
    for (const std::string_view key : sorted) length += key.size();
    // Reserved whole, so the views into it stay valid while it fills.
    keys->text.reserve(length);
    keys->keys.reserve(sorted.size());
    for (const std::string_view key : sorted) {
        const std::size_t start = keys->text.size();
        keys->text.append(key);
        keys->keys.emplace_back(keys->text.data() + start, key.size());
    }
    set.keys_ = std::move(keys);
    return set;
}

const std::vector<std::string_view>& FavoriteSet::keys() const {
    static const std::vector<std::string_view> kNone;
    return keys_ ? keys_->keys : kNone;
}

bool FavoriteSet::contains(std::string_view key) const {
    const auto& all = keys();
    const auto it = std::lower_bound(all.begin(), all.end(), key);
    return it != all.end() && *it == key;
}

std::vector<std::string> FavoriteSet::toArray() const {
    return {begin(), end()};
}

FavoriteSet FavoriteSet::toggled(std::string_view key) const {
    const auto& all = keys();
    const auto at = std::lower_bound(all.begin(), all.end(), key);
    const bool present = at != all.end() && *at == key;
    std::vector<std::string_view> next;
    next.reserve(all.size() + 1);
    next.insert(next.end(), all.begin(), at);
    if (!present)
        next.push_back(key);
    next.insert(next.end(), present ? at + 1 : at, all.end());
    return ofSorted(next);
}

FavoriteSet FavoriteSet::filtered(const std::function<bool(std::string_view)>& keep) const {
    const auto& all = keys();
    const auto firstDropped = std::find_if_not(all.begin(), all.end(), keep);
    if (firstDropped == all.end())
        return *this;
    std::vector<std::string_view> kept(all.begin(), firstDropped);
    std::copy_if(firstDropped + 1, all.end(), std::back_inserter(kept), keep);
    return ofSorted(kept);
}

bool operator==(const FavoriteSet& a, const FavoriteSet& b) {
    return a.keys_ == b.keys_ || a.keys() == b.keys();
}

}  // namespace corvanta
