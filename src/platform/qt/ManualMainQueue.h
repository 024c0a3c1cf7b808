// A MainQueue for tests: nothing runs until the test drains it, and delayed work
// follows a virtual clock that only advance() moves. Tests never sleep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/qt/MainQueue.h"

namespace corvanta::platform {

class ManualMainQueue final : public MainQueue {
public:
    // Runs the oldest ready item (one "turn"); work it posts waits for a later
    // turn. Returns false when nothing was ready.
    bool runNext();
    // Runs ready work, including work posted meanwhile, until none is ready.
    // Stops after `limit` items so a self-reposting loop cannot hang a test.
    // Returns the number of items run.
    std::size_t runUntilIdle(std::size_t limit = 100000);
    // Moves the virtual clock forward by `seconds`, running ready work first and
    // each delayed item at its due time, in due order (then queue order).
    void advance(double seconds);

    double now() const { return now_; }
    // Items not yet run, cancelled ones included (they are dropped when reached).
    std::size_t readyCount() const { return ready_.size(); }
    std::size_t delayedCount() const { return delayed_.size(); }

protected:
    void schedule(Work run) override;
    void scheduleAfter(double seconds, Work run) override;

private:
    struct Delayed {
        double due;
        std::uint64_t sequence;
        Work run;
    };
    void promoteDue(double until);

    double now_ = 0;
    std::uint64_t nextSequence_ = 0;
    std::deque<Work> ready_;
    std::vector<Delayed> delayed_;
};

}  // namespace corvanta::platform
