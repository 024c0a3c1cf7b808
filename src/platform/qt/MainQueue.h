// Deferred work on the main thread: post() runs on the next event-loop turn,
// postAfter() after a delay; both in the order they were queued.
#pragma once

#include <functional>
#include <memory>

#include "platform/qt/TaskHandle.h"

namespace corvanta::platform {

class MainQueue {
public:
    using Work = std::function<void()>;

    MainQueue() = default;
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;
    virtual ~MainQueue() = default;

    // Runs `work` on a later turn of the main event loop, never inside this call.
    TaskHandle post(Work work);
    // Runs `work` once `seconds` have passed (negative counts as 0). Work due at
    // the same moment runs in the order it was queued.
    TaskHandle postAfter(double seconds, Work work);

    // The queue the application installed with setShared(); a Qt-backed queue
    // when none was installed. Tests install a ManualMainQueue.
    static MainQueue& shared();
    // Not owned; pass nullptr to go back to the default queue.
    static void setShared(MainQueue* queue);

protected:
    // Backends deliver `run` once, on the main thread, never synchronously.
    virtual void schedule(Work run) = 0;
    virtual void scheduleAfter(double seconds, Work run) = 0;

private:
    static Work wrap(std::shared_ptr<TaskHandle::State> state, Work work);
};

}  // namespace corvanta::platform
