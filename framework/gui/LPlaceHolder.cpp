#include "framework/gui/LPlaceHolder.h"

#include <QPainter>

LPlaceHolder::LPlaceHolder(QWidget* parent) : QFrame(parent) {
    setMinimumSize(40, 24);
}

void LPlaceHolder::SetPlaceholderText(const QString& text) {
    mText = text;
    update();
}

void LPlaceHolder::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor edge = palette().color(QPalette::Mid);
    edge.setAlpha(140);
    QPen pen(edge, 1, Qt::DashLine);
    p.setPen(pen);
    p.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), 6, 6);
    if (!mText.isEmpty()) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        p.drawText(rect().adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap, mText);
    }
}
