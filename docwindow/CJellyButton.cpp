#include "docwindow/CJellyButton.h"

#include <QEvent>
#include <QPainter>
#include <QSvgRenderer>

#include "resources/ResourceFile.h"

namespace {

QSvgRenderer& ShapeRenderer() {
    static QSvgRenderer* renderer = [] {
        auto* r = new QSvgRenderer;
        if (auto bytes = ResourceFile::Read("pictures/7000.svg"))
            r->load(QByteArray(bytes->data(), qsizetype(bytes->size())));
        return r;
    }();
    return *renderer;
}

}  // namespace

CJellyButton::CJellyButton(QWidget* parent) : QAbstractButton(parent), LControl(this) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    // Tracking: QAbstractButton follows the mouse in and out and clicks
    // only on a release inside; each change of the pressed state redraws.
    connect(this, &QAbstractButton::pressed, this, [this] { repaint(); });
    connect(this, &QAbstractButton::released, this, [this] { repaint(); });
    connect(this, &QAbstractButton::clicked, this, [this] { BroadcastValueMessage(); });
}

QSize CJellyButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return {std::max(96, metrics.horizontalAdvance(text()) + 40), std::max(32, metrics.height() + 16)};
}

QColor CJellyButton::StateColour(int32_t colourIndex, bool pressed) {
    // 16-bit components 0/20480/36864 (blue) and 32768 (grey), in 8 bits.
    QColor colour = colourIndex == kUsableColour ? QColor::fromRgba64(0, 20480, 36864)
                                                 : QColor::fromRgba64(32768, 32768, 32768);
    if (pressed) colour = QColor::fromRgba64(colour.rgba64().red() / 2, colour.rgba64().green() / 2,
                                             colour.rgba64().blue() / 2);
    return colour;
}

int32_t CJellyButton::CurrentColourIndex() const {
    const QWidget* w = window();
    const bool active = w != nullptr && w->isVisible() && w->isActiveWindow();
    return isEnabled() && active ? kUsableColour : kUnusableColour;
}

QImage CJellyButton::Compose() {
    mColourIndex = CurrentColourIndex();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (pixels.isEmpty()) return {};

    // The shape: picture 7000 slightly inset in the frame.
    QImage shape(pixels, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter p(&shape);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF inset = QRectF(QPointF(0, 0), QSizeF(pixels)).adjusted(ratio, ratio, -ratio, -ratio);
        if (ShapeRenderer().isValid()) {
            ShapeRenderer().render(&p, inset);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawRoundedRect(inset, inset.height() / 2, inset.height() / 2);
        }
    }

    // The colour, through the shape as a mask, with a soft highlight on
    // the upper half so it reads as a raised button.
    QImage composed(pixels, QImage::Format_ARGB32_Premultiplied);
    composed.fill(StateColour(mColourIndex, isDown()));
    {
        QPainter p(&composed);
        QLinearGradient gloss(0, 0, 0, pixels.height());
        gloss.setColorAt(0.0, QColor(255, 255, 255, isDown() ? 40 : 90));
        gloss.setColorAt(0.5, QColor(255, 255, 255, 10));
        gloss.setColorAt(1.0, QColor(0, 0, 0, 30));
        p.fillRect(composed.rect(), gloss);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, shape);
    }
    composed.setDevicePixelRatio(ratio);
    return composed;
}

void CJellyButton::paintEvent(QPaintEvent*) {
    const QImage image = Compose();
    if (image.isNull()) return;  // nothing is drawn when the images cannot be built
    QPainter p(this);
    p.drawImage(0, 0, image);

    QRect textArea = rect();
    if (mTitleLift != 0) textArea.setBottom(textArea.bottom() - 20);
    QFont titleFont = font();
    if (mTextTraits != 0) titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(mColourIndex == kUnusableColour ? DisabledTitleColour().lighter(150) : QColor(Qt::white));
    p.drawText(textArea, Qt::AlignCenter, text());
    if (hasFocus()) {
        QPen focus(palette().color(QPalette::Highlight), 1, Qt::DotLine);
        p.setPen(focus);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5), height() / 2.0 - 3, height() / 2.0 - 3);
    }
}

bool CJellyButton::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) update();
    return QAbstractButton::event(event);
}

void CJellyButton::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::ActivationChange:
        case QEvent::WindowStateChange:
            repaint();
            break;
        default:
            break;
    }
    QAbstractButton::changeEvent(event);
}
