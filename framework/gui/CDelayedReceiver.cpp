#include "framework/gui/CDelayedReceiver.h"

#include "framework/gui/CDelayedDrop.h"
#include "framework/gui/LView.h"

CDelayedReceiver::CDelayedReceiver(LView* pane)
    : LDropArea(pane != nullptr ? pane->viewport() : nullptr), mPane(pane) {}

CDelayedReceiver::~CDelayedReceiver() { CDelayedDrop::CancelFor(this); }

bool CDelayedReceiver::PointInDropArea(QPoint where) {
    return mPane != nullptr && QRect(QPoint(0, 0), mPane->GetFrameSize()).contains(where);
}

bool CDelayedReceiver::ItemIsAcceptable(const SDragItem& item) {
    TArrayIterator<OSType> it(mAcceptedFlavors);
    OSType flavor = 0;
    while (it.Next(flavor))
        if (item.Offers(flavor)) return true;
    return false;
}

void CDelayedReceiver::LeaveDropArea() {
    // No feedback of our own was drawn; let whatever lay under it show again.
    if (mPane != nullptr && !mHiliteRegion.isEmpty()) mPane->RefreshRect(mHiliteRegion.boundingRect());
    mHiliteRegion = QRegion();
}

bool CDelayedReceiver::InsideDropArea(QPoint where) {
    FocusDropArea();
    return mPane == nullptr || TrackDragInside(mPane->FrameToImage(where));
}

OSType CDelayedReceiver::DraggedFlavor() const {
    TArrayIterator<OSType> it(mAcceptedFlavors);
    OSType flavor = 0;
    while (it.Next(flavor))
        for (const SDragItem& item : DraggedItems())
            if (item.Offers(flavor)) return flavor;
    return 0;
}

void CDelayedReceiver::ReceiveDragItem(const SDragItem& item, QPoint where) {
    mHiliteRegion = QRegion();
    FocusDropArea();
    const QPoint dropPoint = mPane != nullptr ? mPane->FrameToImage(where) : where;
    CDelayedDrop::Create(mAcceptedFlavors, dropPoint, this, item);
}
