// A minimal single-threaded signal: observers connect a callback and keep the
// returned Connection; dropping the Connection disconnects.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace corvanta::platform {

class Connection {
public:
    Connection() = default;
    explicit Connection(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept : disconnect_(std::exchange(other.disconnect_, {})) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            disconnect();
            disconnect_ = std::exchange(other.disconnect_, {});
        }
        return *this;
    }
    ~Connection() { disconnect(); }

    void disconnect() {
        if (disconnect_)
            std::exchange(disconnect_, {})();
    }
    bool connected() const { return static_cast<bool>(disconnect_); }

private:
    std::function<void()> disconnect_;
};

template <class... Args>
class Signal {
public:
    using Slot = std::function<void(Args...)>;

    Signal() : slots_(std::make_shared<Slots>()) {}
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // The connection holds the slot list weakly, so it may outlive the signal.
    [[nodiscard]] Connection connect(Slot slot) {
        const std::size_t id = ++slots_->nextId;
        slots_->entries.push_back({id, std::make_shared<Slot>(std::move(slot))});
        std::weak_ptr<Slots> weak = slots_;
        return Connection([weak, id] {
            if (auto slots = weak.lock()) {
                std::erase_if(slots->entries, [id](const Entry& e) { return e.id == id; });
            }
        });
    }

    // Slots connected or disconnected while emitting take effect from the next emit.
    void emit(Args... args) const {
        const auto snapshot = slots_->entries;
        for (const auto& entry : snapshot) (*entry.slot)(args...);
    }

    std::size_t connectionCount() const { return slots_->entries.size(); }

private:
    struct Entry {
        std::size_t id;
        std::shared_ptr<Slot> slot;
    };
    struct Slots {
        std::size_t nextId = 0;
        std::vector<Entry> entries;
    };
    std::shared_ptr<Slots> slots_;
};

}  // namespace corvanta::platform
