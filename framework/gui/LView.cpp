#include "framework/gui/LView.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

#include "framework/LException.h"

LView::LView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::ClickFocus);
}

LView::~LView() = default;

void LView::FinishCreate() {
    if (mFinished) return;
    mFinished = true;
    FinishCreateSelf();
}

void LView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    // Normally the layout loader has finished the view already; a view
    // shown on its own finishes here, where nothing may escape.
    try {
        FinishCreate();
    } catch (const LException& e) {
        qWarning("A view could not finish setting up (error %d): %s", int(e.Code()), e.what());
    }
    // Take the window's state when first shown; later changes come as events.
    if (isActiveWindow() && !mActive) Activate();
}

// Panes hear of their window's activation as WindowActivate and
// WindowDeactivate; ActivationChange (in changeEvent) covers the rest.
bool LView::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Activate();
    else if (event->type() == QEvent::WindowDeactivate) Deactivate();
    return QAbstractScrollArea::event(event);
}

void LView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            Activate();
        else
            Deactivate();
    }
}

void LView::Activate() {
    if (mActive) return;
    mActive = true;
    ActivateSelf();
}

void LView::Deactivate() {
    if (!mActive) return;
    mActive = false;
    DeactivateSelf();
}

// ---- Image and scrolling ----

void LView::SetImageSize(int32_t width, int32_t height, bool refresh) {
    const QSize size(std::max(0, width), std::max(0, height));
    if (size != mImageSize) {
        mImageSize = size;
        UpdateScrollBars();
    }
    if (refresh) Refresh();
}

QSize LView::GetFrameSize() const { return viewport()->size(); }

QPoint LView::GetScrollPosition() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QRect LView::CalcLocalFrameRect() const { return QRect(GetScrollPosition(), GetFrameSize()); }

void LView::UpdateScrollBars() {
    const QSize frame = GetFrameSize();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, mImageSize.width() - frame.width()));
    h->setPageStep(std::max(1, frame.width()));
    h->setSingleStep(16);
    v->setRange(0, std::max(0, mImageSize.height() - frame.height()));
    v->setPageStep(std::max(1, frame.height()));
    v->setSingleStep(16);
}

void LView::ScrollImageTo(int32_t left, int32_t top, bool refresh) {
    // Setting a scroll bar moves the bits through scrollContentsBy.
    horizontalScrollBar()->setValue(left);
    verticalScrollBar()->setValue(top);
    if (refresh) Refresh();
}

void LView::ScrollImageBy(int32_t dx, int32_t dy, bool refresh) {
    const QPoint p = GetScrollPosition();
    ScrollImageTo(p.x() + dx, p.y() + dy, refresh);
}

bool LView::AutoScrollImage(QPoint imagePoint) {
    const QRect frame = CalcLocalFrameRect();
    int dx = 0, dy = 0;
    if (imagePoint.x() < frame.left())
        dx = imagePoint.x() - frame.left();
    else if (imagePoint.x() > frame.right())
        dx = imagePoint.x() - frame.right();
    if (imagePoint.y() < frame.top())
        dy = imagePoint.y() - frame.top();
    else if (imagePoint.y() > frame.bottom())
        dy = imagePoint.y() - frame.bottom();
    if (dx == 0 && dy == 0) return false;
    const QPoint before = GetScrollPosition();
    ScrollImageBy(dx, dy, false);
    return GetScrollPosition() != before;
}

void LView::scrollContentsBy(int dx, int dy) { ScrollBits(dx, dy); }

void LView::ScrollBits(int32_t dx, int32_t dy) { viewport()->scroll(dx, dy); }

// ---- Redrawing ----

void LView::Refresh() { viewport()->update(); }

void LView::RefreshRect(const QRect& imageRect) {
    viewport()->update(imageRect.translated(-GetScrollPosition()));
}

void LView::UpdatePort() { viewport()->repaint(); }

void LView::paintEvent(QPaintEvent* event) {
    mUpdateRegion = event->region().translated(GetScrollPosition());
    DrawSelf();
    mUpdateRegion = QRegion();
}

void LView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    FrameResized();
}

// ---- Mouse and keys ----

SViewMouse LView::MakeMouse(const QPoint& framePoint, Qt::MouseButton button,
                            Qt::KeyboardModifiers modifiers) const {
    SViewMouse mouse;
    mouse.whereFrame = framePoint;
    mouse.where = FrameToImage(framePoint);
    mouse.button = button;
    mouse.modifiers = modifiers;
    return mouse;
}

void LView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    mTracking = true;
    ClickSelf(MakeMouse(event->position().toPoint(), event->button(), event->modifiers()));
}

void LView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (mTracking && (event->buttons() & Qt::LeftButton))
        TrackMouseSelf(MakeMouse(p, Qt::LeftButton, event->modifiers()));
    else
        AdjustCursorAt(p, event->modifiers());
}

void LView::mouseReleaseEvent(QMouseEvent* event) {
    if (!mTracking || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    mTracking = false;
    const QPoint p = event->position().toPoint();
    ReleaseMouseSelf(MakeMouse(p, event->button(), event->modifiers()));
    AdjustCursorAt(p, event->modifiers());
}

void LView::AdjustCursorAt(const QPoint& framePoint, Qt::KeyboardModifiers modifiers) {
    AdjustMouseSelf(MakeMouse(framePoint, Qt::NoButton, modifiers));
}

// The control key changes the cursor without a mouse movement.
void LView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && !mTracking)
        AdjustCursorAt(viewport()->mapFromGlobal(QCursor::pos()), event->modifiers());
    QAbstractScrollArea::keyPressEvent(event);
}

void LView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && !mTracking)
        AdjustCursorAt(viewport()->mapFromGlobal(QCursor::pos()), event->modifiers());
    QAbstractScrollArea::keyReleaseEvent(event);
}
