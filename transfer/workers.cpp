#include "transfer/workers.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace transfer {

namespace {

// The transfer whose worker or start runs on this thread (none on other threads).
thread_local const Workers* t_ownerOf = nullptr;

} // namespace

Workers::Workers(std::function<void()> end) : end_(std::move(end)) {}

Workers::~Workers() {
    Join();
}

Workers::StartScope::StartScope(Workers& workers) : previousOwner_(t_ownerOf) {
    if (previousOwner_ == &workers) {
        return; // the start lock may be held by this very thread
    }
    lock_ = std::unique_lock(workers.startLock_);
    t_ownerOf = &workers;
    free_ = !workers.running_.load();
    if (free_) {
        workers.JoinThreads(); // the last transfer's threads have done their work; reap them
        workers.stopRequested_.store(false);
    }
}

Workers::StartScope::~StartScope() {
    t_ownerOf = previousOwner_;
}

bool Workers::Launch(std::vector<Worker> workers) {
    workersLeft_.store(static_cast<int>(workers.size()));
    running_.store(true);
    std::size_t started = 0;
    int error = 0;
    {
        const std::lock_guard lock(threadsLock_);
        threads_.reserve(workers.size());
        for (; started < workers.size(); ++started) {
            try {
                threads_.emplace_back([this, body = std::move(workers[started].body)] {
                    t_ownerOf = this;
                    body();
                    Finish();
                });
            } catch (const std::system_error& failure) {
                error = failure.code().value() != 0 ? failure.code().value() : EAGAIN;
                break;
            }
        }
    }
    if (started == 0 && !workers.empty()) {
        running_.store(false);
        return false;
    }
    // Outside the lock: the end may run from here.
    for (std::size_t i = started; i < workers.size(); ++i) {
        if (workers[i].notStarted) {
            workers[i].notStarted(error);
        }
        Finish();
    }
    return true;
}

void Workers::Stop() { stopRequested_.store(true); }

void Workers::Join() {
    // On a worker's thread or inside the start, a join could wait on itself.
    if (t_ownerOf == this) {
        return;
    }
    { const std::lock_guard waitForStart(startLock_); }
    JoinThreads();
}

void Workers::StopAndJoin() {
    Stop();
    Join();
}

void Workers::JoinThreads() {
    std::vector<std::thread> threads;
    {
        const std::lock_guard lock(threadsLock_);
        threads.swap(threads_);
    }
    for (std::thread& thread : threads) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void Workers::Finish() {
    if (workersLeft_.fetch_sub(1) != 1) {
        return;
    }
    running_.store(false);
    end_();
}

} // namespace transfer
