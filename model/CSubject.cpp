#include "model/CSubject.h"

#include "model/CObserver.h"

CSubject::~CSubject() {
    CObserver* observer = nullptr;
    while (mObservers.PopLast(observer)) observer->RemoveSubject(this);
}

void CSubject::Attach(CObserver* observer) {
    if (observer == nullptr || mObservers.Contains(observer)) return;
    mObservers.Append(observer);
    observer->AddSubject(this);
}

void CSubject::Detach(CObserver* observer) { mObservers.Remove(observer); }

bool CSubject::HasObserver(const CObserver* observer) const {
    return mObservers.Contains(const_cast<CObserver*>(observer));
}

void CSubject::Notify(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2,
                      int32_t arg3, int32_t arg4) {
    if (mMuted) return;
    // The iterator is on the stack: an observer may attach or detach
    // others, or destroy this subject, and the walk stays sound.
    TArrayIterator<CObserver*> iterator(mObservers);
    CObserver* observer = nullptr;
    while (iterator.Next(observer))
        if (observer->GetIgnoreChanges() == 0)
            observer->Update(senderKind, changeCode, arg1, arg2, arg3, arg4);
}
