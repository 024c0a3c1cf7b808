// Cancellation state shared between a queued item and its handles.
#include "platform/qt/TaskHandle.h"

namespace corvanta::platform {

void TaskHandle::cancel() {
    if (state_ && !state_->finished) {
        state_->cancelled = true;
        state_->finished = true;
    }
}

bool TaskHandle::isCancelled() const {
    return state_ && state_->cancelled;
}

bool TaskHandle::isFinished() const {
    return state_ && state_->finished;
}

}  // namespace corvanta::platform
