#include "framework/gui/LDropArea.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QObject>

class LDropArea::Filter : public QObject {
public:
    explicit Filter(LDropArea& area) : mArea(area) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter: {
                auto* e = static_cast<QDragEnterEvent*>(event);
                if (mArea.HandleDragEnter(DragItemsOf(*e->mimeData()), e->position().toPoint()))
                    e->acceptProposedAction();
                else
                    e->ignore();
                return true;
            }
            case QEvent::DragMove: {
                auto* e = static_cast<QDragMoveEvent*>(event);
                if (mArea.HandleDragMove(e->position().toPoint()))
                    e->acceptProposedAction();
                else
                    e->ignore();
                return true;
            }
            case QEvent::DragLeave:
                mArea.HandleDragLeave();
                return true;
            case QEvent::Drop: {
                auto* e = static_cast<QDropEvent*>(event);
                if (mArea.HandleDrop(DragItemsOf(*e->mimeData()), e->position().toPoint()))
                    e->acceptProposedAction();
                else
                    e->ignore();
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

private:
    LDropArea& mArea;
};

LDropArea::LDropArea(QWidget* target) : mTarget(target), mFilter(std::make_unique<Filter>(*this)) {
    if (mTarget != nullptr) {
        mTarget->setAcceptDrops(true);
        mTarget->installEventFilter(mFilter.get());
    }
}

LDropArea::~LDropArea() {
    if (mTarget != nullptr) mTarget->removeEventFilter(mFilter.get());
}

bool LDropArea::PointInDropArea(QPoint where) {
    return mTarget != nullptr && mTarget->rect().contains(where);
}

bool LDropArea::DragIsAcceptable(const std::vector<SDragItem>& items) {
    if (items.empty()) return false;
    for (const SDragItem& item : items)
        if (!ItemIsAcceptable(item)) return false;
    return true;
}

bool LDropArea::HandleDragEnter(const std::vector<SDragItem>& items, QPoint where) {
    mDragAccepted = DragIsAcceptable(items);
    mDraggedItems = mDragAccepted ? items : std::vector<SDragItem>();
    EnterDropArea(mDragAccepted);
    return HandleDragMove(where);
}

bool LDropArea::HandleDragMove(QPoint where) {
    if (!mDragAccepted) return false;
    const bool inside = PointInDropArea(where);
    if (inside && !mHilited) {
        FocusDropArea();
        HiliteDropArea();
        mHilited = true;
    } else if (!inside && mHilited) {
        FocusDropArea();
        UnhiliteDropArea();
        mHilited = false;
    }
    return inside && InsideDropArea(where);
}

void LDropArea::HandleDragLeave() {
    if (mHilited) {
        FocusDropArea();
        UnhiliteDropArea();
        mHilited = false;
    }
    if (mDragAccepted) LeaveDropArea();
    mDragAccepted = false;
    mDraggedItems.clear();
}

bool LDropArea::HandleDrop(const std::vector<SDragItem>& items, QPoint where) {
    const bool acceptable = DragIsAcceptable(items) && PointInDropArea(where);
    if (mHilited) {
        FocusDropArea();
        UnhiliteDropArea();
        mHilited = false;
    }
    mDragAccepted = false;
    mDraggedItems.clear();
    if (!acceptable) return false;
    for (const SDragItem& item : items) ReceiveDragItem(item, where);
    return true;
}
