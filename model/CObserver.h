// The watching side of the models' change notification. An observer is in
// a subject's list exactly when the subject is in the observer's list; the
// destructor detaches from every subject. Derived classes whose destruction
// could make a subject notify should call DetachFromAll first.
#pragma once

#include <cstdint>

#include "framework/FourCharCode.h"
#include "framework/LArray.h"

class CSubject;

class CObserver {
public:
    CObserver() = default;
    virtual ~CObserver();
    // A copy watches nothing.
    CObserver(const CObserver&) {}
    CObserver& operator=(const CObserver&) { return *this; }

    // Starts watching; null throws the nil-pointer exception ('nilP').
    void Observe(CSubject* subject);
    void AddSubject(CSubject* subject);     // called by CSubject::Attach
    void RemoveSubject(CSubject* subject);  // called by a dying subject
    void DetachFromAll();

    virtual void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2,
                        int32_t arg3, int32_t arg4) = 0;

    bool IsObserving(const CSubject* subject) const;
    int32_t CountSubjects() const { return mSubjects.GetCount(); }

    // While non-zero, changes are not delivered to this observer.
    int32_t GetIgnoreChanges() const { return mIgnoreChanges; }
    void SetIgnoreChanges(int32_t ignore) { mIgnoreChanges = ignore; }

protected:
    TArray<CSubject*> mSubjects;
    int32_t mIgnoreChanges = 0;
};
