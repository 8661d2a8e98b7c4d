// What a comparator table transfer engine reports from its worker threads, kept for a test: the
// progress counts and the end reports, with waits for both.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace test_support {

template <typename End>
class TransferRecord {
public:
    void AddProgress(int count) {
        {
            std::lock_guard lock(mutex_);
            progress_.push_back(count);
        }
        cv_.notify_all();
    }
    void AddEnd(End end) {
        {
            std::lock_guard lock(mutex_);
            ends_.push_back(std::move(end));
        }
        cv_.notify_all();
    }

    // The first end report, or nothing after 30 s.
    std::optional<End> WaitForEnd() {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, std::chrono::seconds(30), [this] { return !ends_.empty(); })) {
            return std::nullopt;
        }
        return ends_.front();
    }
    // Until the count reaches `count` or the transfer ends.
    bool WaitForProgress(int count) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(30), [&] {
            return !ends_.empty() || (!progress_.empty() && progress_.back() >= count);
        });
    }
    std::vector<int> Progress() {
        std::lock_guard lock(mutex_);
        return progress_;
    }
    std::size_t EndCount() {
        std::lock_guard lock(mutex_);
        return ends_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<int> progress_;
    std::vector<End> ends_;
};

// 1, 2, ..., last.
inline std::vector<int> OneTo(int last) {
    std::vector<int> numbers;
    for (int n = 1; n <= last; ++n) {
        numbers.push_back(n);
    }
    return numbers;
}

} // namespace test_support
