// The test queue: explicit turns and a virtual clock.
#include "platform/qt/ManualMainQueue.h"

#include <algorithm>

namespace corvanta::platform {

void ManualMainQueue::schedule(Work run) {
    ready_.push_back(std::move(run));
}

void ManualMainQueue::scheduleAfter(double seconds, Work run) {
    delayed_.push_back({now_ + seconds, nextSequence_++, std::move(run)});
}

bool ManualMainQueue::runNext() {
    if (ready_.empty())
        return false;
    Work work = std::move(ready_.front());
    ready_.pop_front();
    work();
    return true;
}

std::size_t ManualMainQueue::runUntilIdle(std::size_t limit) {
    std::size_t count = 0;
    while (count < limit && runNext()) ++count;
    return count;
}

void ManualMainQueue::promoteDue(double until) {
    // Moves every item due by `until` to the ready queue, earliest first.
    std::vector<Delayed> due;
    auto split = std::stable_partition(delayed_.begin(), delayed_.end(),
                                       [until](const Delayed& d) { return d.due > until; });
    std::move(split, delayed_.end(), std::back_inserter(due));
    delayed_.erase(split, delayed_.end());
    std::sort(due.begin(), due.end(), [](const Delayed& a, const Delayed& b) {
        return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
    });
    for (auto& d : due) ready_.push_back(std::move(d.run));
}

void ManualMainQueue::advance(double seconds) {
    const double target = now_ + std::max(0.0, seconds);
    runUntilIdle();
    for (;;) {
        auto next = std::min_element(
            delayed_.begin(), delayed_.end(), [](const Delayed& a, const Delayed& b) {
                return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
            });
        if (next == delayed_.end() || next->due > target)
            break;
        now_ = std::max(now_, next->due);
        promoteDue(now_);
        runUntilIdle();
    }
    now_ = target;
}

}  // namespace corvanta::platform
