#include "framework/gui/PaletteIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

namespace {

// Paints the picture's shape in the colour of the application's palette
// at the moment it is drawn, so a change of palette shows at the next
// repaint.
class PaletteIconEngine : public QIconEngine {
public:
    explicit PaletteIconEngine(const QString& file) : mFile(file), mShape(file) {}

    QIconEngine* clone() const override { return new PaletteIconEngine(mFile); }
    QString key() const override { return QStringLiteral("movelark-palette"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal scale = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QPixmap picture = mShape.pixmap(size, scale, QIcon::Normal, state);
        if (picture.isNull()) return picture;
        const QPalette palette = QApplication::palette();
        QColor colour = palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                                      QPalette::ButtonText);
        if (mode == QIcon::Selected) colour = palette.color(QPalette::HighlightedText);
        QPainter p(&picture);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(QRect(QPoint(0, 0), picture.size()), colour);
        return picture;
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return mShape.actualSize(size, mode, state);
    }

private:
    QString mFile;
    QIcon mShape;
};

}  // namespace

QIcon PaletteIcon(const QString& file) { return QIcon(new PaletteIconEngine(file)); }
