// The bounded queue that carries records from a reader thread to a writer thread: at most nine
// records, first in first out, a mutex and two condition variables, no polling. Close() says that
// no more records will come (the writer drains what is left); Abort() releases both sides at once,
// so that neither can wait forever (the writer failed). A stop releases neither: the writer drains
// the pending records, so a reader waiting for room waits at most for a few writes. RecordsOnHold
// keeps the records read by count until the line is found in step after them. Both take any record
// type: each transfer names its own.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

namespace transfer {

template <typename Record>
class BoundedQueue {
public:
    // At most nine records are pending (ten slots with one kept free).
    static constexpr std::size_t kCapacity = 9;

    // Empties the queue and opens it again for a new transfer.
    void Reset() {
        std::lock_guard lock(mutex_);
        readSlot_ = 0;
        count_ = 0;
        closed_ = false;
        aborted_ = false;
    }

    // Waits while nine records are pending, then appends `record`. False (nothing appended) when
    // the queue was closed or aborted.
    [[nodiscard]] bool Push(const Record& record) {
        std::unique_lock lock(mutex_);
        notFull_.wait(lock, [this] { return count_ < kCapacity || closed_ || aborted_; });
        if (closed_ || aborted_) {
            return false;
        }
        slots_[(readSlot_ + count_) % kCapacity] = record;
        ++count_;
        lock.unlock();
        notEmpty_.notify_one();
        return true;
    }

    // Waits for a record and takes the oldest one. False when the queue is closed and empty, or
    // aborted.
    [[nodiscard]] bool Pop(Record& record) {
        std::unique_lock lock(mutex_);
        notEmpty_.wait(lock, [this] { return count_ > 0 || closed_ || aborted_; });
        if (aborted_ || count_ == 0) {
            return false;
        }
        record = slots_[readSlot_];
        readSlot_ = (readSlot_ + 1) % kCapacity;
        --count_;
        lock.unlock();
        notFull_.notify_one();
        return true;
    }

    // No more records will be pushed; Pop still hands out the pending ones.
    void Close() { Set(closed_); }

    // Both sides stop waiting at once; pending records are dropped.
    void Abort() {
        {
            std::lock_guard lock(mutex_);
            aborted_ = true;
            count_ = 0;
        }
        notEmpty_.notify_all();
        notFull_.notify_all();
    }

    std::size_t Size() const {
        std::lock_guard lock(mutex_);
        return count_;
    }
    bool Aborted() const {
        std::lock_guard lock(mutex_);
        return aborted_;
    }

private:
    void Set(bool& flag) {
        {
            std::lock_guard lock(mutex_);
            flag = true;
        }
        notEmpty_.notify_all();
        notFull_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable notFull_;
    std::condition_variable notEmpty_;
    std::array<Record, kCapacity> slots_{};
    std::size_t readSlot_ = 0;
    std::size_t count_ = 0;
    bool closed_ = false;
    bool aborted_ = false;
};

// Records read by count that wait until the line is found in step after them. Stray bytes that
// turn up after a record (found before the next command, or after the last record) mean that
// record may have been shifted: it is dropped, never written as a believable line.
template <typename Record>
class RecordsOnHold {
public:
    void Hold(const Record& record) { held_.push_back(record); }
    // The line was found quiet after the held records: they go on to the queue, in order. False
    // when the queue refused one (closed or aborted).
    [[nodiscard]] bool PassOn(BoundedQueue<Record>& queue) {
        for (const Record& record : held_) {
            if (!queue.Push(record)) {
                held_.clear();
                return false;
            }
        }
        held_.clear();
        return true;
    }

private:
    std::vector<Record> held_;
};

} // namespace transfer
