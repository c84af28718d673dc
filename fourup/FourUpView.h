// A view that keeps itself one quarter of its superview: a pane bound to
// the superview's left and top keeps its top-left corner, one bound right
// and bottom keeps its bottom-right corner. Panes placed by a layout
// manager are left to it.
#pragma once

#include <QRect>
#include <QSize>

#include "framework/gui/LView.h"

class FourUpView : public LView {
    Q_OBJECT

public:
    explicit FourUpView(QWidget* parent = nullptr);
    ~FourUpView() override;

    // Where a pane goes for a superview of this size.
    static QRect QuarterGeometry(const QRect& own, QSize super, bool boundLeft, bool boundTop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ApplyQuarterLayout();
};
