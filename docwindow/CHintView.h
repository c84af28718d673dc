// The hint box: a small pale-yellow box with a line of text, built on
// demand inside a window (pane '@hnt') and moved next to the mouse.
#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

#include "framework/FourCharCode.h"

class CHintView : public QWidget {
    Q_OBJECT

public:
    static constexpr OSType kPaneID = FourCC("@hnt");

    explicit CHintView(QWidget* window);

    // Shows the text below the mouse (window coordinates), or above it when
    // the box would cross the window's bottom, kept inside the right edge.
    void ShowHint(const QString& text, QPoint mouseInWindow);
    const QString& Text() const { return mText; }

    // Where a box of this size goes for a mouse position in a window of
    // this size.
    static QPoint PlaceFor(QPoint mouse, QSize box, QSize window, int cursorHeight);
    static int CursorHeight();
    static QColor Fill() { return QColor::fromRgba64(65535, 65535, 57070); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString mText;
};
