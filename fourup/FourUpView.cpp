#include "fourup/FourUpView.h"

#include <QEvent>
#include <QLayout>

FourUpView::FourUpView(QWidget* parent) : LView(parent) {
    if (parent != nullptr) parent->installEventFilter(this);
}

FourUpView::~FourUpView() = default;

QRect FourUpView::QuarterGeometry(const QRect& own, QSize super, bool boundLeft, bool boundTop) {
    const int targetWidth = (super.width() + 1) / 2;
    const int targetHeight = (super.height() + 1) / 2;
    const int dx = targetWidth - own.width();
    const int dy = targetHeight - own.height();
    QRect placed = own;
    if (dx != 0 || dy != 0) placed.translate(boundLeft ? 0 : -dx, boundTop ? 0 : -dy);
    placed.setSize(QSize(targetWidth, targetHeight));
    return placed;
}

void FourUpView::ApplyQuarterLayout() {
    QWidget* super = parentWidget();
    if (super == nullptr || (super->layout() != nullptr && super->layout()->indexOf(this) >= 0)) return;
    // A pane that touches the superview's left (top) edge is bound to it.
    const QRect placed = QuarterGeometry(geometry(), super->size(), x() == 0, y() == 0);
    if (placed != geometry()) {
        setGeometry(placed);
        Refresh();
    }
}

bool FourUpView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) ApplyQuarterLayout();
    return LView::eventFilter(watched, event);
}
