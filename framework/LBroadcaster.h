// Broadcaster/listener link of the GUI framework: controls broadcast their
// pane ID with their value. The link is recorded on both sides and either
// side may be destroyed first.
#pragma once

#include <cstdint>

#include "framework/LArray.h"

using MessageT = int32_t;

// Sent to every listener, with the broadcaster as parameter, while the
// broadcaster is being destroyed.
constexpr MessageT msg_BroadcasterDied = 202;

class LListener;

class LBroadcaster {
public:
    LBroadcaster();
    virtual ~LBroadcaster();
    // A copy starts with no listeners.
    LBroadcaster(const LBroadcaster& other);
    LBroadcaster& operator=(const LBroadcaster&) { return *this; }

    void Attach(LListener* listener);  // no-op when already attached
    void Detach(LListener* listener);
    void AddListener(LListener* listener) { Attach(listener); }
    void RemoveListener(LListener* listener) { Detach(listener); }
    void DetachAllListeners();
    bool HasListener(const LListener* listener) const;
    int32_t CountListeners() const { return mListeners.GetCount(); }

    // Calls OnMessage of every listening listener, in attachment order.
    // Listeners may detach themselves (or be destroyed) while it runs.
    void Broadcast(MessageT message, void* parameter = nullptr);
    void BroadcastMessage(MessageT message, void* parameter = nullptr) {
        Broadcast(message, parameter);
    }

    void StartBroadcasting() { mIsBroadcasting = true; }
    void StopBroadcasting() { mIsBroadcasting = false; }
    bool IsBroadcasting() const { return mIsBroadcasting; }

private:
    TArray<LListener*> mListeners;
    bool mIsBroadcasting = true;
};
