// Wraps queued work so handles can cancel it, and holds the process-wide queue.
#include "platform/qt/MainQueue.h"

#include <memory>

#include "platform/qt/QtMainQueue.h"

namespace corvanta::platform {
namespace {
MainQueue* installedQueue = nullptr;
}

MainQueue::Work MainQueue::wrap(std::shared_ptr<TaskHandle::State> state, Work work) {
    return [state = std::move(state), work = std::move(work)] {
        if (state->cancelled)
            return;
        // Marked before running so a cancel() from inside the work is a no-op.
        state->finished = true;
        work();
    };
}

TaskHandle MainQueue::post(Work work) {
    auto state = std::make_shared<TaskHandle::State>();
    schedule(wrap(state, std::move(work)));
    return TaskHandle(state);
}

TaskHandle MainQueue::postAfter(double seconds, Work work) {
    auto state = std::make_shared<TaskHandle::State>();
    scheduleAfter(seconds > 0 ? seconds : 0, wrap(state, std::move(work)));
    return TaskHandle(state);
}

MainQueue& MainQueue::shared() {
    if (installedQueue)
        return *installedQueue;
    static QtMainQueue fallback;
    return fallback;
}

void MainQueue::setShared(MainQueue* queue) {
    installedQueue = queue;
}

}  // namespace corvanta::platform
