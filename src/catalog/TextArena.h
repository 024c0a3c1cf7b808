// Texts copied into large blocks that never move: a view of a stored text
// stays valid for the arena's life, also when the arena itself is moved. A
// catalog's index stores tens of thousands of short texts; one allocation per
// block instead of one per text keeps them together in memory and keeps the
// allocator out of the load.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace corvanta {

class TextArena {
public:
    TextArena() = default;
    TextArena(TextArena&& other) noexcept
        : blocks_(std::move(other.blocks_)),
          free_(std::exchange(other.free_, nullptr)),
          left_(std::exchange(other.left_, 0)) {}
    TextArena& operator=(TextArena&& other) noexcept {
        if (this != &other) {
            blocks_ = std::move(other.blocks_);
            other.blocks_.clear();
            free_ = std::exchange(other.free_, nullptr);
            left_ = std::exchange(other.left_, 0);
        }
        return *this;
    }
    // Views into one arena must not be taken for another's.
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // A copy of `text` that lives as long as the arena.
    std::string_view store(std::string_view text) {
        if (text.empty())
            return {};
        if (text.size() > left_) {
            // A long text gets a block of its own, so that the rest of the
            // current block is not wasted.
            if (text.size() > kBlockSize / 4)
                return copyInto(allocate(text.size()), text);
            free_ = allocate(kBlockSize);
            left_ = kBlockSize;
        }
        const std::string_view stored = copyInto(free_, text);
        free_ += text.size();
        left_ -= text.size();
        return stored;
    }

    std::size_t blockCount() const { return blocks_.size(); }

    static constexpr std::size_t kBlockSize = 64 * 1024;

private:
    char* allocate(std::size_t size) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        return blocks_.back().get();
    }
    static std::string_view copyInto(char* at, std::string_view text) {
        std::memcpy(at, text.data(), text.size());
        return std::string_view(at, text.size());
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;  // inside the block last filled, not always the last block
    std::size_t left_ = 0;
};

}  // namespace corvanta
