#include "docwindow/CHintView.h"

#include <QPainter>
#include <algorithm>

#include "framework/gui/LPane.h"

namespace {
constexpr int kMinimumHeight = 14;
constexpr int kTextMargin = 4;

QFont HintFont(const QFont& base) {
    QFont f = base;
    f.setPointSizeF(std::max(7.0, base.pointSizeF() - 1.0));
    return f;
}
}  // namespace

CHintView::CHintView(QWidget* window) : QWidget(window) {
    setObjectName(PaneName(PaneIDT(kPaneID)));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(HintFont(font()));
    resize(70, kMinimumHeight);
    hide();
}

int CHintView::CursorHeight() {
    const int size = qEnvironmentVariableIntValue("XCURSOR_SIZE");
    return size > 0 ? size : 16;
}

QPoint CHintView::PlaceFor(QPoint mouse, QSize box, QSize window, int cursorHeight) {
    QPoint at(mouse.x(), mouse.y() + cursorHeight);
    if (mouse.y() + cursorHeight + box.height() > window.height())
        at.setY(mouse.y() - (cursorHeight + box.height() + 1));
    if (at.x() + box.width() > window.width() - 1) at.setX(window.width() - 1 - box.width());
    return {std::max(0, at.x()), std::max(0, at.y())};
}

void CHintView::ShowHint(const QString& text, QPoint mouseInWindow) {
    mText = text;
    const QFontMetrics metrics(font());
    const QSize box(metrics.horizontalAdvance(text) + 2 * kTextMargin,
                    std::max(kMinimumHeight, metrics.height() + 4));
    QWidget* w = parentWidget();
    const QSize windowSize = w != nullptr ? w->size() : box;
    resize(box);
    move(PlaceFor(mouseInWindow, box, windowSize, CursorHeight()));
    raise();
    show();
    repaint();
}

void CHintView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Fill());
    p.setPen(QColor(0, 0, 0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawText(rect().adjusted(kTextMargin, 0, -kTextMargin, 0), Qt::AlignVCenter | Qt::AlignLeft, mText);
}
