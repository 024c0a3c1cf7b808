// A handle to work queued on a MainQueue. Dropping the handle does not cancel
// the work; cancel() does, as long as the work has not started yet.
#pragma once

#include <memory>

namespace corvanta::platform {

class TaskHandle {
public:
    TaskHandle() = default;

    // Prevents the work from running if it has not started. Safe to call on an
    // empty handle, repeatedly, or after the work ran.
    void cancel();
    bool isCancelled() const;
    // True once the work has started (it may still be running: from then on
    // cancel() changes nothing, even from inside the work) or has been cancelled.
    bool isFinished() const;

    struct State {
        bool cancelled = false;
        bool finished = false;
    };
    explicit TaskHandle(std::shared_ptr<State> state) : state_(std::move(state)) {}

private:
    std::shared_ptr<State> state_;
};

}  // namespace corvanta::platform
