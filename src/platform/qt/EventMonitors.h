// Local event monitors: handlers that see key-down and left-mouse-down events of
// our own windows before any widget does, and may swallow them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/qt/Event.h"

namespace corvanta::platform {

class EventMonitors {
public:
    // Returns true to let the event go on, false to swallow it.
    using Handler = std::function<bool(const Event&)>;
    using Token = std::uint64_t;  // 0 is never a valid token

    EventMonitors() = default;
    EventMonitors(const EventMonitors&) = delete;
    EventMonitors& operator=(const EventMonitors&) = delete;
    virtual ~EventMonitors() = default;

    Token addLocalMonitor(EventMask mask, Handler handler);
    // Unknown or already removed tokens are ignored. Safe inside a handler.
    void removeMonitor(Token token);
    std::size_t monitorCount() const { return monitors_.size(); }

    // The application's monitors: installed with setShared(), else a
    // QtEventMonitors created on first use (needs a QApplication).
    static EventMonitors& shared();
    static void setShared(EventMonitors* monitors);  // not owned; nullptr resets

protected:
    // Offers the event to the monitors in the order they were added; stops at
    // the first that swallows it. Returns whether the event goes on.
    bool dispatch(const Event& event);

private:
    struct Monitor {
        Token token;
        EventMask mask;
        std::shared_ptr<Handler> handler;
    };
    std::vector<Monitor> monitors_;
    Token nextToken_ = 0;
};

}  // namespace corvanta::platform
