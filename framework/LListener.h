// Receiver of broadcaster messages. Destroying a listener unlinks it from
// every broadcaster it listens to.
#pragma once

#include <cstdint>

#include "framework/LArray.h"
#include "framework/LBroadcaster.h"

class LListener {
public:
    LListener();
    virtual ~LListener();
    // A copy starts with no broadcasters.
    LListener(const LListener& other);
    LListener& operator=(const LListener&) { return *this; }

    virtual void OnMessage(MessageT message, void* parameter) = 0;

    void StartListening() { mIsListening = true; }
    void StopListening() { mIsListening = false; }
    bool IsListening() const { return mIsListening; }

    bool HasBroadcaster(const LBroadcaster* broadcaster) const;
    int32_t CountBroadcasters() const { return mBroadcasters.GetCount(); }
    // Unlinks from every broadcaster.
    void DetachFromBroadcasters();

private:
    friend class LBroadcaster;
    void AddBroadcaster(LBroadcaster* broadcaster);
    void RemoveBroadcaster(LBroadcaster* broadcaster);

    TArray<LBroadcaster*> mBroadcasters;
    bool mIsListening = true;
};
