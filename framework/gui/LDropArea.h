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

protected:
    virtual bool PointInDropArea(QPoint where);
    virtual void FocusDropArea() {}
    virtual void HiliteDropArea() {}
    virtual void UnhiliteDropArea() {}
    virtual bool ItemIsAcceptable(const SDragItem& item) = 0;
    virtual void EnterDropArea(bool acceptable) {}
    virtual void LeaveDropArea() {}
    virtual void InsideDropArea(QPoint where) {}
    virtual void ReceiveDragItem(const SDragItem& item, QPoint where) = 0;

private:
    class Filter;
    QPointer<QWidget> mTarget;
    std::unique_ptr<Filter> mFilter;
    bool mDragAccepted = false;
    bool mHilited = false;
};
