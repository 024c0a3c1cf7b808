// The monitor registry and its dispatch order.
#include "platform/qt/EventMonitors.h"

#include <algorithm>

#include "platform/qt/QtEventMonitors.h"

namespace corvanta::platform {
namespace {
EventMonitors* installedMonitors = nullptr;
}

EventMonitors::Token EventMonitors::addLocalMonitor(EventMask mask, Handler handler) {
    const Token token = ++nextToken_;
    monitors_.push_back({token, mask, std::make_shared<Handler>(std::move(handler))});
    return token;
}

void EventMonitors::removeMonitor(Token token) {
    std::erase_if(monitors_, [token](const Monitor& m) { return m.token == token; });
}

bool EventMonitors::dispatch(const Event& event) {
    // A handler may add or remove monitors: walk a snapshot, and skip the ones
    // removed meanwhile.
    const auto snapshot = monitors_;
    for (const auto& monitor : snapshot) {
        if (!maskIncludes(monitor.mask, event.type))
            continue;
        const bool stillThere =
            std::any_of(monitors_.begin(), monitors_.end(),
                        [&](const Monitor& m) { return m.token == monitor.token; });
        if (!stillThere || !*monitor.handler)
            continue;
        if (!(*monitor.handler)(event))
            return false;
    }
    return true;
}

EventMonitors& EventMonitors::shared() {
    if (installedMonitors)
        return *installedMonitors;
    static QtEventMonitors fallback;
    return fallback;
}

void EventMonitors::setShared(EventMonitors* monitors) {
    installedMonitors = monitors;
}

}  // namespace corvanta::platform
