#include "compress/SoundPacketQueue.h"

#include <chrono>

void SoundPacketQueue::Push(Item&& item, size_t bytes) {
    std::unique_lock<std::mutex> hold(mLock);
    // One item always fits, whatever its size, so nothing waits forever.
    const auto fits = [&] { return mClosed || mQueuedBytes == 0 || mQueuedBytes + bytes <= mBudget; };
    if (!fits()) {
        mConverterWaiting = true;
        mChanged.wait(hold, fits);
        mConverterWaiting = false;
    }
    if (mClosed) throw LException(userCanceledErr, "The sound is no longer wanted.");
    mQueuedBytes += bytes;
    mItems.push_back(std::move(item));
    mChanged.notify_all();
}

void SoundPacketQueue::WriteSoundPacket(const EncodedPacket& packet) {
    Item item;
    item.isPacket = true;
    item.packet = packet;
    const size_t bytes = packet.data.size();
    Push(std::move(item), bytes);
}

void SoundPacketQueue::AddProgress(const STimeValue& converted, int64_t bytes) {
    Item item;
    item.converted = converted;
    item.bytes = bytes;
    Push(std::move(item), 0);
}

void SoundPacketQueue::Finish(OSErr result, const std::string& message) {
    std::lock_guard<std::mutex> hold(mLock);
    mFinished = true;
    mResult = result;
    mMessage = message;
    mChanged.notify_all();
}

SoundPacketQueue::Next SoundPacketQueue::Take(Item& item, int waitMilliseconds) {
    std::unique_lock<std::mutex> hold(mLock);
    const bool ready = mChanged.wait_for(hold, std::chrono::milliseconds(waitMilliseconds),
                                         [&] { return !mItems.empty() || mFinished; });
    if (!ready) return Next::kWaiting;
    if (mItems.empty()) return Next::kDone;
    item = std::move(mItems.front());
    mItems.pop_front();
    if (item.isPacket) mQueuedBytes -= item.packet.data.size();
    mChanged.notify_all();
    return Next::kItem;
}

void SoundPacketQueue::Close() {
    std::lock_guard<std::mutex> hold(mLock);
    mClosed = true;
    mItems.clear();
    mQueuedBytes = 0;
    mChanged.notify_all();
}

bool SoundPacketQueue::ConverterIsWaiting() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mConverterWaiting;
}

bool SoundPacketQueue::IsClosed() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mClosed;
}

OSErr SoundPacketQueue::Result() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mResult;
}

std::string SoundPacketQueue::Message() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mMessage;
}
