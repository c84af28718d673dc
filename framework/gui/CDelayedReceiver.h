// A drop area that only copies what is dropped and hands it to its pane a
// moment later, on the next pass of the repeat tasks, after the window
// system's drag-and-drop call has returned: opening movies or pictures
// inside that call would stall both programs.
//
// The pane that derives from it fills the accepted flavours (in order of
// preference) and answers ReceiveDropItem.
#pragma once

#include <QPoint>
#include <QRegion>

#include "framework/Handle.h"
#include "framework/TArray.h"
#include "framework/gui/LDropArea.h"

class LView;

class CDelayedReceiver : public LDropArea {
public:
    // The drop target is the pane's frame (its viewport).
    explicit CDelayedReceiver(LView* pane);
    ~CDelayedReceiver() override;

    TArray<OSType>& AcceptedFlavors() { return mAcceptedFlavors; }
    const TArray<OSType>& AcceptedFlavors() const { return mAcceptedFlavors; }
    const QRegion& HiliteRegion() const { return mHiliteRegion; }
    LView* GetPane() const { return mPane; }

    // The delivery of one drop: data of that flavour, the drop point in the
    // pane's image coordinates, an extra argument (always 0). True when the
    // pane keeps the data (it may move it out of the handle).
    virtual bool ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t extra) = 0;
    // Called while a drag moves over the pane, with the image point; false
    // when a drop there would be refused.
    virtual bool TrackDragInside(QPoint imagePoint) { (void)imagePoint; return true; }
    // The first accepted flavour the drag over the pane offers; 0 when
    // no drag is over it.
    OSType DraggedFlavor() const;

protected:
    bool PointInDropArea(QPoint where) override;
    void FocusDropArea() override {}
    void HiliteDropArea() override {}
    void UnhiliteDropArea() override {}
    bool ItemIsAcceptable(const SDragItem& item) override;
    void LeaveDropArea() override;
    bool InsideDropArea(QPoint where) override;
    void ReceiveDragItem(const SDragItem& item, QPoint where) override;

private:
    TArray<OSType> mAcceptedFlavors;
    QRegion mHiliteRegion;
    LView* mPane;
};
