// The hand-over of converted sound between the converting thread and the
// thread that writes the movie.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "compress/SoundPacketQueue.h"
#include "support/TestSupport.h"

namespace {

EncodedPacket PacketOf(size_t bytes, int64_t pts) {
    EncodedPacket p;
    p.data.assign(bytes, uint8_t(pts));
    p.pts = p.dts = pts;
    return p;
}

TEST(SoundPacketQueue, TheConvertingSideWaitsWhileTheBudgetIsFull) {
    SoundPacketQueue queue(1000);
    std::atomic<int> pushed{0};
    std::thread producer([&] {
        for (int i = 0; i < 3; ++i) {
            queue.WriteSoundPacket(PacketOf(600, i));
            ++pushed;
        }
        queue.AddProgress(STimeValue{1, 1}, 1800);
        queue.Finish(noErr, "");
    });
    // 600 + 600 would pass 1000: the second packet waits for the first to go.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return queue.ConverterIsWaiting(); }));
    EXPECT_EQ(pushed.load(), 1);
    SoundPacketQueue::Item item;
    std::vector<int64_t> order;
    bool sawProgress = false;
    for (;;) {
        const auto next = queue.Take(item, 1000);
        ASSERT_NE(next, SoundPacketQueue::Next::kWaiting);
        if (next == SoundPacketQueue::Next::kDone) break;
        if (item.isPacket) order.push_back(item.packet.pts);
        else sawProgress = item.bytes == 1800 && item.converted == STimeValue{1, 1};
    }
    producer.join();
    EXPECT_EQ(order, (std::vector<int64_t>{0, 1, 2}));
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(queue.Result(), noErr);
}

TEST(SoundPacketQueue, ClosingReleasesAWaitingConverterWithCancel) {
    SoundPacketQueue queue(100);
    std::atomic<int> code{0};
    std::thread producer([&] {
        try {
            for (int i = 0; i < 10; ++i) queue.WriteSoundPacket(PacketOf(80, i));
        } catch (const LException& e) {
            code = e.Code();
        }
    });
    EXPECT_TRUE(testsupport::WaitUntil([&] { return queue.ConverterIsWaiting(); }));
    queue.Close();
    producer.join();  // would hang if the waiting push were not woken
    EXPECT_EQ(code.load(), userCanceledErr);
    EXPECT_TRUE(queue.IsClosed());
    EXPECT_THROW(queue.AddProgress(STimeValue{1, 1}, 0), LException);
}

TEST(SoundPacketQueue, TakingWaitsLetsAnOversizedPacketThroughAndReportsTheEnd) {
    SoundPacketQueue queue(10);
    SoundPacketQueue::Item item;
    EXPECT_EQ(queue.Take(item, 20), SoundPacketQueue::Next::kWaiting);
    queue.WriteSoundPacket(PacketOf(100, 7));  // larger than the budget, and still let through
    ASSERT_EQ(queue.Take(item, 20), SoundPacketQueue::Next::kItem);
    EXPECT_EQ(item.packet.data.size(), 100u);
    queue.Finish(ioErr, "the disk went away");
    EXPECT_EQ(queue.Take(item, 20), SoundPacketQueue::Next::kDone);
    EXPECT_EQ(queue.Result(), ioErr);
    EXPECT_EQ(queue.Message(), "the disk went away");
}

}  // namespace
