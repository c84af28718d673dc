#include "framework/LListener.h"

LListener::LListener() = default;

LListener::LListener(const LListener& other) : mIsListening(other.mIsListening) {}

LListener::~LListener() { DetachFromBroadcasters(); }

void LListener::DetachFromBroadcasters() {
    LBroadcaster* broadcaster = nullptr;
    while (mBroadcasters.GetItem(LArray::index_Last, broadcaster))
        broadcaster->Detach(this);  // removes it from mBroadcasters too
}

bool LListener::HasBroadcaster(const LBroadcaster* broadcaster) const {
    return mBroadcasters.Contains(const_cast<LBroadcaster*>(broadcaster));
}

void LListener::AddBroadcaster(LBroadcaster* broadcaster) {
    if (!mBroadcasters.Contains(broadcaster)) mBroadcasters.Append(broadcaster);
}

void LListener::RemoveBroadcaster(LBroadcaster* broadcaster) { mBroadcasters.Remove(broadcaster); }
