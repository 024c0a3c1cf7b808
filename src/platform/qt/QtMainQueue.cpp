// Queued invocations for the next turn, precise single-shot timers for delays.
#include "platform/qt/QtMainQueue.h"

#include <QObject>
#include <QTimer>
#include <cmath>

namespace corvanta::platform {

QtMainQueue::QtMainQueue() : context_(std::make_unique<QObject>()) {}

QtMainQueue::~QtMainQueue() = default;

void QtMainQueue::schedule(Work run) {
    QMetaObject::invokeMethod(context_.get(), std::move(run), Qt::QueuedConnection);
}

void QtMainQueue::scheduleAfter(double seconds, Work run) {
    const auto ms = static_cast<int>(std::llround(std::min(seconds * 1000.0, 2.0e9)));
    // Precise timers keep short delays (tens of milliseconds) close to their length.
    QTimer::singleShot(ms, Qt::PreciseTimer, context_.get(), std::move(run));
}

}  // namespace corvanta::platform
