// Ordering, delays and cancellation of the main queue, manual and Qt-backed.
#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "platform/qt/ManualMainQueue.h"
#include "platform/qt/QtMainQueue.h"

namespace corvanta::platform {
namespace {

TEST(ManualMainQueue, RunsPostedWorkInOrderAndDefersWorkPostedWhileRunning) {
    ManualMainQueue queue;
    std::string log;
    queue.post([&] {
        log += "a";
        queue.post([&] { log += "c"; });
    });
    queue.post([&] { log += "b"; });
    EXPECT_EQ(log, "");  // nothing runs inside post()

    EXPECT_TRUE(queue.runNext());
    EXPECT_EQ(log, "a");
    EXPECT_TRUE(queue.runNext());
    EXPECT_EQ(log, "ab");
    EXPECT_EQ(queue.runUntilIdle(), 1u);
    EXPECT_EQ(log, "abc");
    EXPECT_FALSE(queue.runNext());
}

TEST(ManualMainQueue, DelayedWorkRunsAtItsDueTimeInDueThenQueueOrder) {
    ManualMainQueue queue;
    std::vector<std::string> log;
    queue.postAfter(0.2, [&] { log.push_back("late@" + std::to_string(queue.now())); });
    queue.postAfter(0.04, [&] {
        log.push_back("first");
        // Work posted by delayed work runs before later delayed work.
        queue.post([&] { log.push_back("follow-up"); });
    });
    queue.postAfter(0.04, [&] { log.push_back("second"); });
    queue.post([&] { log.push_back("now"); });

    queue.advance(0.03);
    EXPECT_EQ(log, std::vector<std::string>{"now"});
    queue.advance(0.02);
    EXPECT_EQ(log, (std::vector<std::string>{"now", "first", "second", "follow-up"}));
    queue.advance(1);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log.back().rfind("late@0.2", 0), 0u) << log.back();
    EXPECT_DOUBLE_EQ(queue.now(), 1.05);
}

TEST(ManualMainQueue, NegativeDelayCountsAsZeroButStillWaitsForATurn) {
    ManualMainQueue queue;
    bool ran = false;
    queue.postAfter(-5, [&] { ran = true; });
    EXPECT_FALSE(ran);
    queue.advance(0);
    EXPECT_TRUE(ran);
}

TEST(ManualMainQueue, CancelledWorkNeverRunsAndHandlesReportTheirState) {
    ManualMainQueue queue;
    int runs = 0;
    TaskHandle immediate = queue.post([&] { ++runs; });
    TaskHandle delayed = queue.postAfter(1.8, [&] { ++runs; });
    TaskHandle kept = queue.postAfter(1.8, [&] { ++runs; });
    immediate.cancel();
    delayed.cancel();
    EXPECT_TRUE(immediate.isCancelled());
    EXPECT_TRUE(delayed.isFinished());
    EXPECT_FALSE(kept.isFinished());

    queue.advance(2);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(kept.isFinished());
    EXPECT_FALSE(kept.isCancelled());
    kept.cancel();  // after the fact: no effect
    EXPECT_FALSE(kept.isCancelled());
    TaskHandle empty;
    empty.cancel();
    EXPECT_FALSE(empty.isFinished());
}

TEST(ManualMainQueue, WorkCancellingItselfOrALaterItem) {
    ManualMainQueue queue;
    TaskHandle later;
    TaskHandle self;
    int laterRuns = 0;
    self = queue.post([&] {
        EXPECT_TRUE(self.isFinished());  // started counts as finished
        self.cancel();                   // already running: must not count as cancelled
        later.cancel();
    });
    later = queue.post([&] { ++laterRuns; });
    queue.runUntilIdle();
    EXPECT_FALSE(self.isCancelled());
    EXPECT_EQ(laterRuns, 0);
}

TEST(ManualMainQueue, RunUntilIdleStopsAtItsLimit) {
    ManualMainQueue queue;
    std::function<void()> again = [&] { queue.post(again); };
    queue.post(again);
    EXPECT_EQ(queue.runUntilIdle(50), 50u);
    EXPECT_EQ(queue.readyCount(), 1u);
}

TEST(QtMainQueue, RunsOnALaterEventLoopTurnInOrder) {
    QtMainQueue queue;
    std::string log;
    queue.postAfter(0.02, [&] { log += "d"; });
    queue.post([&] { log += "a"; });
    TaskHandle cancelled = queue.post([&] { log += "x"; });
    queue.post([&] { log += "b"; });
    cancelled.cancel();
    EXPECT_EQ(log, "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.size() == 3; }, 2000));
    EXPECT_EQ(log, "abd");
}

TEST(QtMainQueue, PendingWorkDiesWithTheQueue) {
    bool ran = false;
    {
        QtMainQueue queue;
        queue.post([&] { ran = true; });
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace corvanta::platform
