// The bounded queue that carries reading records from the receiver thread to the writer thread
//: at most nine records, first in first out, a mutex and two condition variables, no
// polling. Close() says that no more records will come (the writer drains what is left); Abort()
// releases both sides at once, so that neither can wait forever (the writer failed, or the
// reception is being torn down).
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "reading_record.h"

namespace measure {

class RecordQueue {
public:
    // At most nine records are pending (ten slots with one kept free).
    static constexpr std::size_t kCapacity = 9;

    // Empties the queue and opens it again for a new reception.
    void Reset();

    // Waits while nine records are pending, then appends `record`. False (nothing appended) when
    // the queue was closed or aborted.
    [[nodiscard]] bool Push(const ReadingRecord& record);

    // Waits for a record and takes the oldest one. False when the queue is closed and empty, or
    // aborted.
    [[nodiscard]] bool Pop(ReadingRecord& record);

    // No more records will be pushed; Pop still hands out the pending ones.
    void Close();

    // Both sides stop waiting at once; pending records are dropped.
    void Abort();

    std::size_t Size() const;
    bool Aborted() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable notFull_;
    std::condition_variable notEmpty_;
    std::array<ReadingRecord, kCapacity> slots_{};
    std::size_t readSlot_ = 0;
    std::size_t count_ = 0;
    bool closed_ = false;
    bool aborted_ = false;
};

} // namespace measure
