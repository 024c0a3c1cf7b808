// EventMonitors for tests: the test sends events by hand.
#pragma once

#include "platform/qt/EventMonitors.h"

namespace corvanta::platform {

class FakeEventMonitors final : public EventMonitors {
public:
    // Returns whether the event would go on to its target.
    bool send(const Event& event) { return dispatch(event); }
};

}  // namespace corvanta::platform
