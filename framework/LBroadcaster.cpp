#include "framework/LBroadcaster.h"

#include "framework/LListener.h"

LBroadcaster::LBroadcaster() = default;

LBroadcaster::LBroadcaster(const LBroadcaster& other) : mIsBroadcasting(other.mIsBroadcasting) {}

LBroadcaster::~LBroadcaster() {
    if (mIsBroadcasting) Broadcast(msg_BroadcasterDied, this);
    DetachAllListeners();
}

void LBroadcaster::Attach(LListener* listener) {
    if (listener == nullptr || mListeners.Contains(listener)) return;
    mListeners.Append(listener);
    listener->AddBroadcaster(this);
}

void LBroadcaster::Detach(LListener* listener) {
    if (listener == nullptr) return;
    mListeners.Remove(listener);
    listener->RemoveBroadcaster(this);
}

void LBroadcaster::DetachAllListeners() {
    LListener* listener = nullptr;
    while (mListeners.PopLast(listener)) listener->RemoveBroadcaster(this);
}

bool LBroadcaster::HasListener(const LListener* listener) const {
    return mListeners.Contains(const_cast<LListener*>(listener));
}

void LBroadcaster::Broadcast(MessageT message, void* parameter) {
    if (!mIsBroadcasting) return;
    // The iterator lives on the stack: if a listener destroys this
    // broadcaster, Next answers false and nothing here is touched again.
    TArrayIterator<LListener*> iterator(mListeners);
    LListener* listener = nullptr;
    while (iterator.Next(listener))
        if (listener->IsListening()) listener->OnMessage(message, parameter);
}
