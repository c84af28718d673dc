// The observable side of the models' change notification. Delivery is
// synchronous, in attachment order; observers may attach, detach, be
// destroyed or send further changes while a change is being delivered.
#pragma once

#include <cstdint>

#include "framework/FourCharCode.h"
#include "framework/LArray.h"
#include "model/SChangeInfo.h"

class CObserver;

class CSubject {
public:
    CSubject() = default;
    virtual ~CSubject();  // unlinks from every observer; sends nothing
    // A copy starts with no observers and unmuted.
    CSubject(const CSubject&) {}
    CSubject& operator=(const CSubject&) { return *this; }

    // Appends the observer (once) and tells it; null is ignored.
    virtual void Attach(CObserver* observer);
    // Removes the observer from this side only (see CObserver::DetachFromAll).
    void Detach(CObserver* observer);

    void Notify(OSType senderKind, int32_t changeCode, void* arg1 = nullptr, int32_t arg2 = 0,
                int32_t arg3 = 0, int32_t arg4 = 0);
    void Notify(const SChangeInfo& change) {
        Notify(change.senderKind, change.changeCode, change.arg1, change.arg2, change.arg3,
               change.arg4);
    }

    // While muted, Notify does nothing (changes are lost, not queued).
    void SetMuted(bool muted) { mMuted = muted; }
    bool IsMuted() const { return mMuted; }

    bool HasObserver(const CObserver* observer) const;
    int32_t CountObservers() const { return mObservers.GetCount(); }

protected:
    TArray<CObserver*> mObservers;
    bool mMuted = false;
};
