#include "model/IrWorker.h"

#include <gtest/gtest.h>

#include <future>

#include "ir/CaptureCore.h"

namespace {

// Holds the worker inside a job until the test lets it go.
struct BusyWorker {
    CIrWorker worker;
    std::promise<void> started;
    std::promise<void> release;

    BusyWorker() {
        std::shared_future<void> go = release.get_future().share();
        worker.Post([this, go] {
            started.set_value();
            go.wait();
        });
        started.get_future().wait();
    }
    ~BusyWorker() { Release(); }
    void Release() {
        if (!released) {
            released = true;
            release.set_value();
        }
    }
    bool released = false;
};

}  // namespace

TEST(IrWorkerTest, WorkAskedForWhileAReadYieldsCancelsIt) {
    BusyWorker busy;
    CaptureWatch watch;
    busy.worker.YieldTo(&watch);
    EXPECT_FALSE(watch.cancelled);
    busy.worker.Post([] {});
    EXPECT_TRUE(watch.cancelled);

    // Once the read is over, later work leaves the watch alone.
    CaptureWatch later;
    busy.worker.YieldTo(&later);
    EXPECT_TRUE(later.cancelled);  // work is waiting already
    busy.worker.YieldTo(nullptr);
    later.cancelled = false;
    busy.worker.Post([] {});
    EXPECT_FALSE(later.cancelled);
}

TEST(IrWorkerTest, TellsWhetherWorkWaitsAndRunsItInOrder) {
    BusyWorker busy;
    EXPECT_FALSE(busy.worker.WorkWaiting());
    std::vector<int> order;
    busy.worker.Post([&] { order.push_back(1); });
    busy.worker.Post([&] { order.push_back(2); });
    EXPECT_TRUE(busy.worker.WorkWaiting());
    busy.Release();
    busy.worker.Run([&] { order.push_back(3); });
    EXPECT_FALSE(busy.worker.WorkWaiting());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}
