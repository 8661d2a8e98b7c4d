#include "record_queue.h"

namespace measure {

void RecordQueue::Reset() {
    std::lock_guard lock(mutex_);
    readSlot_ = 0;
    count_ = 0;
    closed_ = false;
    aborted_ = false;
}

bool RecordQueue::Push(const ReadingRecord& record) {
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

bool RecordQueue::Pop(ReadingRecord& record) {
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

void RecordQueue::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    notEmpty_.notify_all();
    notFull_.notify_all();
}

void RecordQueue::Abort() {
    {
        std::lock_guard lock(mutex_);
        aborted_ = true;
        count_ = 0;
    }
    notEmpty_.notify_all();
    notFull_.notify_all();
}

std::size_t RecordQueue::Size() const {
    std::lock_guard lock(mutex_);
    return count_;
}

bool RecordQueue::Aborted() const {
    std::lock_guard lock(mutex_);
    return aborted_;
}

} // namespace measure
