// Encoded sound handed from the thread that converts it ahead to the thread
// that writes the movie, with the progress marks that go with it. Bounded:
// the converting side waits while more than the budget is queued, so a long
// uncompressed track never sits in memory whole.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "framework/LException.h"
#include "model/TimeValue.h"
#include "platform/media/SoundPacketSink.h"

class SoundPacketQueue : public SoundPacketSink {
public:
    struct Item {
        bool isPacket = false;
        EncodedPacket packet;       // when isPacket
        STimeValue converted;       // otherwise: source time one block covered
        int64_t bytes = 0;          // and the bytes it made
    };
    enum class Next { kItem, kWaiting, kDone };

    explicit SoundPacketQueue(size_t budgetBytes) : mBudget(budgetBytes) {}

    // Converting side. Both throw LException(userCanceledErr) once the
    // writing side has closed the queue: there is no one left to take it.
    void WriteSoundPacket(const EncodedPacket& packet) override;
    void AddProgress(const STimeValue& converted, int64_t bytes);
    // No more items; `result` (and `message`) say how the conversion ended.
    void Finish(OSErr result, const std::string& message);

    // Writing side: the next item, kWaiting when none came within the wait,
    // kDone when the converting side finished and everything was taken.
    Next Take(Item& item, int waitMilliseconds);
    // Stops taking: the converting side's next call throws.
    void Close();
    bool IsClosed() const;
    // Whether the converting side is held back because the budget is full.
    bool ConverterIsWaiting() const;

    // After kDone.
    OSErr Result() const;
    std::string Message() const;

private:
    void Push(Item&& item, size_t bytes);

    mutable std::mutex mLock;
    std::condition_variable mChanged;
    std::deque<Item> mItems;
    size_t mBudget;
    size_t mQueuedBytes = 0;
    bool mFinished = false;
    bool mClosed = false;
    bool mConverterWaiting = false;
    OSErr mResult = noErr;
    std::string mMessage;
};
