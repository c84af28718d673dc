// A drop area: makes a widget a drop target and turns Qt's drag events
// into the drop area's operations. A drag is accepted only when every one
// of its items is acceptable; on the drop each item is received in turn.
// Positions are the target widget's own coordinates.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "framework/gui/DragFlavors.h"

class LDropArea {
public:
    explicit LDropArea(QWidget* target);
    virtual ~LDropArea();
    LDropArea(const LDropArea&) = delete;
    LDropArea& operator=(const LDropArea&) = delete;

    QWidget* DropTarget() const { return mTarget; }

    // Drives the area as Qt's drag events would (the event filter calls
    // these; tests may too). Each answers whether the drag is taken.
    bool HandleDragEnter(const std::vector<SDragItem>& items, QPoint where);
    bool HandleDragMove(QPoint where);
    void HandleDragLeave();
    bool HandleDrop(const std::vector<SDragItem>& items, QPoint where);

    bool DragIsAcceptable(const std::vector<SDragItem>& items);
    // The items of the drag over the area now (empty when none is).
    const std::vector<SDragItem>& DraggedItems() const { return mDraggedItems; }

protected:
    virtual bool PointInDropArea(QPoint where);
    virtual void FocusDropArea() {}
    virtual void HiliteDropArea() {}
    virtual void UnhiliteDropArea() {}
    virtual bool ItemIsAcceptable(const SDragItem& item) = 0;
    virtual void EnterDropArea(bool acceptable) {}
    virtual void LeaveDropArea() {}
    // The drag moved inside; false when a drop here would be refused.
    virtual bool InsideDropArea(QPoint where) { (void)where; return true; }
    virtual void ReceiveDragItem(const SDragItem& item, QPoint where) = 0;

private:
    class Filter;
    QPointer<QWidget> mTarget;
    std::unique_ptr<Filter> mFilter;
    std::vector<SDragItem> mDraggedItems;
    bool mDragAccepted = false;
    bool mHilited = false;
};
