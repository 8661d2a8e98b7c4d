// The bounded record queue between a transfer's reader and its consumer.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "transfer/record_queue.h"

namespace {

// A record of the size of a reading.
using ReadingRecord = std::array<std::uint8_t, 13>;
using RecordQueue = transfer::BoundedQueue<ReadingRecord>;
using namespace std::chrono_literals;

ReadingRecord Numbered(int n) {
    ReadingRecord record{};
    record[0] = static_cast<std::uint8_t>(n & 0x7F);
    record[11] = static_cast<std::uint8_t>(n >> 8);
    record[12] = static_cast<std::uint8_t>(n);
    return record;
}

int NumberOf(const ReadingRecord& record) {
    return (record[11] << 8) | record[12];
}

TEST(RecordQueue, KeepsOrderAndHoldsAtMostNine) {
    RecordQueue queue;
    queue.Reset();
    for (int i = 0; i < 9; ++i) {
        ASSERT_TRUE(queue.Push(Numbered(i)));
    }
    EXPECT_EQ(queue.Size(), 9u);

    // A tenth record waits until the writer takes one.
    std::atomic<bool> tenthIn{false};
    std::thread producer([&] {
        EXPECT_TRUE(queue.Push(Numbered(9)));
        tenthIn = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(tenthIn.load());
    EXPECT_EQ(queue.Size(), 9u);
    ReadingRecord record;
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_EQ(NumberOf(record), 0);
    producer.join();
    EXPECT_TRUE(tenthIn.load());
    EXPECT_EQ(queue.Size(), 9u);
    for (int i = 1; i <= 9; ++i) {
        ASSERT_TRUE(queue.Pop(record));
        EXPECT_EQ(NumberOf(record), i);
    }
    EXPECT_EQ(queue.Size(), 0u);
}

TEST(RecordQueue, CloseLetsTheWriterDrainThenEnd) {
    RecordQueue queue;
    queue.Reset();
    ASSERT_TRUE(queue.Push(Numbered(1)));
    ASSERT_TRUE(queue.Push(Numbered(2)));
    queue.Close();
    EXPECT_FALSE(queue.Push(Numbered(3)));
    ReadingRecord record;
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_EQ(NumberOf(record), 1);
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_EQ(NumberOf(record), 2);
    EXPECT_FALSE(queue.Pop(record));

    // A writer waiting on an empty queue is released by Close.
    queue.Reset();
    std::thread writer([&] {
        ReadingRecord r;
        EXPECT_FALSE(queue.Pop(r));
    });
    std::this_thread::sleep_for(20ms);
    queue.Close();
    writer.join();
}

// A receiver waiting for room is released by Abort (a failed writer: the pending records are
// dropped); Reset opens the queue again.
TEST(RecordQueue, AbortReleasesAReceiverWaitingOnAFullQueue) {
    RecordQueue queue;
    queue.Reset();
    for (int i = 0; i < 9; ++i) {
        ASSERT_TRUE(queue.Push(Numbered(i)));
    }
    std::thread receiver([&] { EXPECT_FALSE(queue.Push(Numbered(9))); });
    std::this_thread::sleep_for(20ms);
    queue.Abort();
    receiver.join();
    EXPECT_TRUE(queue.Aborted());
    EXPECT_FALSE(queue.Push(Numbered(10)));
    ReadingRecord record;
    EXPECT_FALSE(queue.Pop(record));
    queue.Reset();
    EXPECT_FALSE(queue.Aborted());
    EXPECT_TRUE(queue.Push(Numbered(1)));
}

TEST(RecordQueue, ThreadedTransferKeepsEveryRecordInOrder) {
    RecordQueue queue;
    queue.Reset();
    constexpr int kRecords = 4800;
    std::atomic<std::size_t> largest{0};
    std::thread receiver([&] {
        for (int i = 0; i < kRecords; ++i) {
            ASSERT_TRUE(queue.Push(Numbered(i)));
            std::size_t size = queue.Size();
            std::size_t seen = largest.load();
            while (size > seen && !largest.compare_exchange_weak(seen, size)) {
            }
        }
        queue.Close();
    });
    std::vector<int> received;
    ReadingRecord record;
    while (queue.Pop(record)) {
        received.push_back(NumberOf(record));
    }
    receiver.join();
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kRecords));
    for (int i = 0; i < kRecords; ++i) {
        ASSERT_EQ(received[static_cast<std::size_t>(i)], i);
    }
    EXPECT_LE(largest.load(), RecordQueue::kCapacity);
}

} // namespace
