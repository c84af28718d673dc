// One dropped item on its way to a delayed receiver: the copy of its data
// in the first accepted flavour it offers, delivered once on the next pass
// of the repeat tasks, after which the object deletes itself. A drop that
// found no data removes itself on that pass without delivering.
#pragma once

#include <QPoint>
#include <memory>

#include "framework/Handle.h"
#include "framework/LPeriodical.h"
#include "framework/TArray.h"
#include "framework/gui/DragFlavors.h"

class CDelayedReceiver;

constexpr OSType kNoFlavor = FourCC("????");

class CDelayedDrop : public LPeriodical {
public:
    // Copies the item's data and queues itself; owned by itself from then on.
    static CDelayedDrop* Create(const TArray<OSType>& acceptedFlavors, QPoint dropPoint,
                                CDelayedReceiver* receiver, const SDragItem& item);
    ~CDelayedDrop() override;

    void SpendTime(const EventRecord& event) override;

    OSType GetFlavor() const { return mFlavor; }
    QPoint GetDropPoint() const { return mDropPoint; }
    const Handle* GetData() const { return mData.get(); }

    // Drops still waiting for delivery.
    static int CountPending();
    // A receiver that goes away takes its undelivered drops with it.
    static void CancelFor(const CDelayedReceiver* receiver);

private:
    CDelayedDrop(QPoint dropPoint, CDelayedReceiver* receiver);

    OSType mFlavor = kNoFlavor;
    QPoint mDropPoint;
    CDelayedReceiver* mReceiver;
    std::unique_ptr<Handle> mData;
    int32_t mExtra = 0;
};
