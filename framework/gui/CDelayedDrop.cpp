#include "framework/gui/CDelayedDrop.h"

#include <vector>

#include "framework/gui/CDelayedReceiver.h"

namespace {
std::vector<CDelayedDrop*>& PendingDrops() {
    static std::vector<CDelayedDrop*> drops;
    return drops;
}
}  // namespace

CDelayedDrop::CDelayedDrop(QPoint dropPoint, CDelayedReceiver* receiver)
    : mDropPoint(dropPoint), mReceiver(receiver) {
    PendingDrops().push_back(this);
}

CDelayedDrop::~CDelayedDrop() {
    auto& drops = PendingDrops();
    std::erase(drops, this);
}

CDelayedDrop* CDelayedDrop::Create(const TArray<OSType>& acceptedFlavors, QPoint dropPoint,
                                   CDelayedReceiver* receiver, const SDragItem& item) {
    auto* drop = new CDelayedDrop(dropPoint, receiver);
    drop->StartRepeatTask();
    TArrayIterator<OSType> it(acceptedFlavors);
    OSType flavor = 0;
    while (it.Next(flavor)) {
        const QByteArray* bytes = item.DataFor(flavor);
        if (bytes == nullptr) continue;
        if (bytes->isEmpty()) continue;  // offered but without data: try the next one
        drop->mData = std::make_unique<Handle>(bytes->constData(), size_t(bytes->size()));
        drop->mFlavor = flavor;
        break;
    }
    return drop;
}

void CDelayedDrop::SpendTime(const EventRecord&) {
    // Our own drag is still inside QDrag::exec: wait until it has returned.
    if (IsOwnDragRunning()) return;
    StopRepeatTask();
    if (mData && mReceiver != nullptr) {
        // The receiver may move the data out; what is left goes with us.
        mReceiver->ReceiveDropItem(*mData, mFlavor, mDropPoint, mExtra);
    }
    delete this;
}

int CDelayedDrop::CountPending() { return int(PendingDrops().size()); }

void CDelayedDrop::CancelFor(const CDelayedReceiver* receiver) {
    const std::vector<CDelayedDrop*> drops = PendingDrops();
    for (CDelayedDrop* drop : drops)
        if (drop->mReceiver == receiver) delete drop;
}
