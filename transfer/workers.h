// The threads of a transfer with the instrument and their lifecycle, shared by every threaded
// transfer (the reading reception, the comparator table's reception and transmission); each brings
// its own exchange steps as the bodies of its workers and its own end.
//
// A transfer's start runs on the caller's thread inside a StartScope: the start is refused while
// the last transfer still runs; otherwise that transfer's threads are reaped and the stop request
// cleared. The start then prepares its exchange and launches its workers, one thread each. The
// transfer runs until its last worker has finished; then its end runs once, on that worker's
// thread, after Running() has turned false.
//
// Stop() asks the workers to end (they look at StopRequested() between their steps); a stop during
// a start is kept. A worker waiting on a queue is not released by a stop: the other side still
// drains it, so every record already read from the instrument reaches its destination.
// Join() waits for a start in progress on another thread, then for the workers. On a worker's
// thread (a report) or inside the start (a report the start makes) it does nothing, since it would
// wait on itself.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace transfer {

class Workers {
public:
    // `end` runs once per launched transfer, after its last worker.
    explicit Workers(std::function<void()> end);
    // Joins the workers; their owner stops them first.
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // The start of a transfer, held on the starting thread for the start's whole run.
    class [[nodiscard]] StartScope {
    public:
        explicit StartScope(Workers& workers);
        ~StartScope();
        StartScope(const StartScope&) = delete;
        StartScope& operator=(const StartScope&) = delete;

        // False when the last transfer still runs, or when this thread is one of its own (a
        // report starting it again): nothing may be started.
        bool Free() const { return free_; }

    private:
        const Workers* previousOwner_;
        std::unique_lock<std::mutex> lock_;
        bool free_ = false;
    };

    struct Worker {
        // Runs on the worker's own thread.
        std::function<void()> body;
        // Runs on the starting thread in the body's place when no thread can be had for this
        // worker after an earlier one has started, with the system's error number: it winds the
        // transfer down as if the worker had failed at once. May be empty.
        std::function<void(int error)> notStarted;
    };

    // Within a free StartScope: starts one thread per worker, in order. False, with nothing
    // running, when no thread can be had for the first worker: the start has failed.
    [[nodiscard]] bool Launch(std::vector<Worker> workers);

    // Asks the workers to end after their current step. Returns at once.
    void Stop();
    bool StopRequested() const { return stopRequested_.load(); }
    // Waits until a start on any other thread has returned and the workers have returned.
    void Join();
    // Stop, then Join: afterwards no thread of the transfer runs.
    void StopAndJoin();

    // True from a successful Launch until the end runs.
    bool Running() const { return running_.load(); }

private:
    void JoinThreads();
    // One worker has finished; the last one runs the end.
    void Finish();

    const std::function<void()> end_;
    // Held by a start for its whole run, so that Join can wait for it.
    std::mutex startLock_;
    // Guards the thread objects: a start may run on another thread than Join.
    std::mutex threadsLock_;
    std::vector<std::thread> threads_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<int> workersLeft_{0};
};

} // namespace transfer
