// The lifecycle of a transfer's worker threads.
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "transfer/workers.h"

namespace {

using namespace std::chrono_literals;
using transfer::Workers;

TEST(Workers, EndRunsOnceAfterTheLastWorkerAndNothingStartsMeanwhile) {
    std::atomic<int> ends{0};
    std::atomic<bool> runningAtEnd{true};
    std::atomic<int> finished{0};
    std::atomic<int> finishedAtEnd{-1};
    Workers* self = nullptr;
    Workers workers([&] {
        runningAtEnd = self->Running();
        finishedAtEnd = finished.load();
        ++ends;
    });
    self = &workers;

    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    {
        const Workers::StartScope starting(workers);
        ASSERT_TRUE(starting.Free());
        ASSERT_TRUE(workers.Launch({
            {[&] {
                 released.wait();
                 ++finished;
             },
             {}},
            {[&] { ++finished; }, {}},
        }));
    }
    EXPECT_TRUE(workers.Running());
    {
        const Workers::StartScope again(workers);
        EXPECT_FALSE(again.Free()); // the last transfer still runs
    }
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ends.load(), 0);
    release.set_value();
    workers.Join();
    EXPECT_EQ(ends.load(), 1);
    EXPECT_EQ(finishedAtEnd.load(), 2);
    EXPECT_FALSE(runningAtEnd.load());
    EXPECT_FALSE(workers.Running());
}

TEST(Workers, AStopDuringTheStartIsKeptAndTheNextStartClearsIt) {
    Workers workers([] {});
    std::atomic<bool> seenByWorker{false};
    {
        const Workers::StartScope starting(workers);
        ASSERT_TRUE(starting.Free());
        workers.Stop();
        ASSERT_TRUE(workers.Launch({{[&] { seenByWorker = workers.StopRequested(); }, {}}}));
    }
    workers.Join();
    EXPECT_TRUE(seenByWorker.load());
    const Workers::StartScope next(workers);
    ASSERT_TRUE(next.Free());
    EXPECT_FALSE(workers.StopRequested());
}

// A report may call Join from a worker or from inside the start: it must not wait on itself.
TEST(Workers, JoinOnTheTransfersOwnThreadsDoesNotWait) {
    std::atomic<bool> joinedInEnd{false};
    Workers* self = nullptr;
    Workers workers([&] {
        self->Join();
        joinedInEnd = true;
    });
    self = &workers;
    std::atomic<bool> joinedInWorker{false};
    {
        const Workers::StartScope starting(workers);
        ASSERT_TRUE(starting.Free());
        workers.Join(); // inside the start: the start lock is this thread's own
        ASSERT_TRUE(workers.Launch({{[&] {
                                         workers.StopAndJoin();
                                         joinedInWorker = true;
                                     },
                                     {}}}));
    }
    workers.Join();
    EXPECT_TRUE(joinedInWorker.load());
    EXPECT_TRUE(joinedInEnd.load());
}

TEST(Workers, JoinWaitsForAStartInProgressOnAnotherThread) {
    Workers workers([] {});
    std::promise<void> inStart;
    std::atomic<bool> workerDone{false};
    std::thread starter([&] {
        const Workers::StartScope starting(workers);
        inStart.set_value();
        std::this_thread::sleep_for(50ms); // the start exchanges with the instrument
        (void)workers.Launch({{[&] {
                                   std::this_thread::sleep_for(20ms);
                                   workerDone = true;
                               },
                               {}}});
    });
    inStart.get_future().wait();
    workers.Join();
    EXPECT_TRUE(workerDone.load());
    starter.join();
}

} // namespace
