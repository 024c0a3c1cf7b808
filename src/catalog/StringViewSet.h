// A set of views in one open-addressing array: the ids of a pack are checked
// for repeats while it is validated, and a node per id would be an allocation
// per shortcut. The viewed texts must stay in place while the set is used.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace corvanta {

class StringViewSet {
public:
    // Sized for `expected` texts; more are still taken, by growing.
    explicit StringViewSet(std::size_t expected = 0) { rehash(slotCountFor(expected)); }

    // True when `text` was not in the set before.
    bool insert(std::string_view text) {
        if (text.empty())
            return !std::exchange(hasEmpty_, true);
        if (2 * (size_ + 1) > slots_.size())
            rehash(2 * slots_.size());
        std::string_view& slot = slots_[find(text)];
        if (slot.data() != nullptr)
            return false;
        slot = text;
        ++size_;
        return true;
    }

    bool contains(std::string_view text) const {
        return text.empty() ? hasEmpty_ : slots_[find(text)].data() != nullptr;
    }

    std::size_t size() const { return size_ + (hasEmpty_ ? 1 : 0); }

private:
    static std::size_t slotCountFor(std::size_t expected) {
        std::size_t slots = 16;
        while (slots < 2 * expected) slots *= 2;
        return slots;
    }

    // The slot that holds `text`, or the empty one where it belongs. A slot
    // is empty when its view has no data: a stored text is never empty.
    std::size_t find(std::string_view text) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = std::hash<std::string_view>{}(text)&mask;;
             slot = (slot + 1) & mask) {
            const std::string_view held = slots_[slot];
            if (held.data() == nullptr || held == text)
                return slot;
        }
    }

    void rehash(std::size_t slotCount) {
        std::vector<std::string_view> old(slotCount);
        old.swap(slots_);
        for (const std::string_view text : old) {
            if (text.data() != nullptr)
                slots_[find(text)] = text;
        }
    }

    std::vector<std::string_view> slots_;  // a power-of-two count, at most half full
    std::size_t size_ = 0;                 // non-empty texts held
    bool hasEmpty_ = false;
};

}  // namespace corvanta
