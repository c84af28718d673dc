#include "model/CObserver.h"

#include "framework/LException.h"
#include "model/CSubject.h"

CObserver::~CObserver() { DetachFromAll(); }

void CObserver::Observe(CSubject* subject) {
    ThrowIfNil(subject);
    subject->Attach(this);
}

void CObserver::AddSubject(CSubject* subject) {
    if (subject != nullptr && !mSubjects.Contains(subject)) mSubjects.Append(subject);
}

void CObserver::RemoveSubject(CSubject* subject) { mSubjects.Remove(subject); }

void CObserver::DetachFromAll() {
    TArrayIterator<CSubject*> iterator(mSubjects);
    CSubject* subject = nullptr;
    while (iterator.Next(subject)) subject->Detach(this);
    mSubjects.RemoveAllItems();
}

bool CObserver::IsObserving(const CSubject* subject) const {
    return mSubjects.Contains(const_cast<CSubject*>(subject));
}
