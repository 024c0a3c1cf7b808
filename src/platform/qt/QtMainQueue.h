// The MainQueue of a running Qt application: queued invocations and single-shot
// timers on a context object, so pending work dies with the queue.
#pragma once

#include <memory>

#include "platform/qt/MainQueue.h"

class QObject;

namespace corvanta::platform {

class QtMainQueue final : public MainQueue {
public:
    QtMainQueue();
    ~QtMainQueue() override;

protected:
    void schedule(Work run) override;
    void scheduleAfter(double seconds, Work run) override;

private:
    std::unique_ptr<QObject> context_;
};

}  // namespace corvanta::platform
