// A view: a pane whose contents (its image) may be larger than its frame
// and is scrolled inside it. The image has a size; the scroll position is
// the image point shown at the frame's top-left corner. Drawing, clicks
// and the cursor work in image coordinates. Built on QAbstractScrollArea:
// the frame is the viewport, the scroll bars follow the image size.
//
// Subclasses override the *Self operations. A view is finished once, after
// the window's other panes exist (FinishCreate); a view shown before anyone
// finished it finishes itself then.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <cstdint>

#include "framework/gui/LPane.h"

// A mouse event of a view, in image coordinates.
struct SViewMouse {
    QPoint where;        // image coordinates
    QPoint whereFrame;   // viewport (frame) coordinates
    Qt::MouseButton button = Qt::NoButton;
    Qt::KeyboardModifiers modifiers;
};

class LView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit LView(QWidget* parent = nullptr);
    ~LView() override;

    PaneIDT GetPaneID() const { return PaneIDOf(this); }
    void SetPaneID(PaneIDT id) { setObjectName(PaneName(id)); }

    // Runs FinishCreateSelf once.
    void FinishCreate();
    bool IsFinishedCreating() const { return mFinished; }

    // ---- Image and scrolling ----
    void SetImageSize(int32_t width, int32_t height, bool refresh);
    QSize GetImageSize() const { return mImageSize; }
    QPoint GetScrollPosition() const;
    // Scroll so that this image point is at the frame's top-left (clamped).
    void ScrollImageTo(int32_t left, int32_t top, bool refresh);
    void ScrollImageBy(int32_t dx, int32_t dy, bool refresh);
    // Scrolls toward an image point outside the frame; true when it moved.
    bool AutoScrollImage(QPoint imagePoint);
    // The frame (the visible part) in image coordinates.
    QRect CalcLocalFrameRect() const;
    QSize GetFrameSize() const;
    QPoint FrameToImage(QPoint framePoint) const { return framePoint + GetScrollPosition(); }
    QPoint ImageToFrame(QPoint imagePoint) const { return imagePoint - GetScrollPosition(); }

    // ---- Redrawing ----
    void Refresh();                              // redraw everything later
    void RefreshRect(const QRect& imageRect);    // redraw part later
    void UpdatePort();                           // draw what is pending now
    // The region being drawn, in image coordinates (valid inside DrawSelf).
    const QRegion& GetUpdateRegion() const { return mUpdateRegion; }

    // ---- Activation: follows the window; tests may set it ----
    bool IsActive() const { return mActive; }
    void Activate();
    void Deactivate();

protected:
    virtual void FinishCreateSelf() {}
    virtual void DrawSelf() {}
    // Mouse press, moves with the button down, release.
    virtual void ClickSelf(const SViewMouse&) {}
    virtual void TrackMouseSelf(const SViewMouse&) {}
    virtual void ReleaseMouseSelf(const SViewMouse&) {}
    // The mouse hovers (no button): set the cursor.
    virtual void AdjustMouseSelf(const SViewMouse&) {}
    virtual void ActivateSelf() {}
    virtual void DeactivateSelf() {}
    virtual void FrameResized() {}
    // The image moved by (dx, dy) in frame pixels (positive: contents move
    // right/down). The default moves the frame's pixels and redraws the strip.
    virtual void ScrollBits(int32_t dx, int32_t dy);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    SViewMouse MakeMouse(const QPoint& framePoint, Qt::MouseButton button,
                         Qt::KeyboardModifiers modifiers) const;

private:
    void UpdateScrollBars();
    void AdjustCursorAt(const QPoint& framePoint, Qt::KeyboardModifiers modifiers);

    QSize mImageSize;
    QRegion mUpdateRegion;
    bool mFinished = false;
    bool mActive = false;
    bool mTracking = false;
};
