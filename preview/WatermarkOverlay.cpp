#include "preview/WatermarkOverlay.h"

#include <QPainter>

#include "appearance/AppearanceTables.h"
#include "appearance/StDrawingContext.h"
#include "model/CTambleDocModel.h"
#include "model/WatermarkPlacement.h"

namespace {
constexpr int kPlaceholderSide = 64;
constexpr int kPlaceholderPen = 4;

void DrawPlaceholder(QPainter& p, const QRect& device) {
    const QColor yellow = *ColorForCode(kColorYellow);
    const QRegion ring = QRegion(device) - QRegion(device.adjusted(kPlaceholderPen, kPlaceholderPen,
                                                                   -kPlaceholderPen, -kPlaceholderPen));
    for (const QRect& r : ring) p.fillRect(r, yellow);
    p.setPen(QPen(yellow, kPlaceholderPen, Qt::SolidLine, Qt::SquareCap));
    p.setClipRect(device.adjusted(2, 2, -2, -2), Qt::IntersectClip);
    p.drawLine(device.topLeft() + QPoint(2, 2), device.bottomRight() - QPoint(1, 1));
    p.drawLine(QPoint(device.right() - 1, device.top() + 2), QPoint(device.left() + 2, device.bottom() - 1));
}
}  // namespace

WatermarkOverlay::WatermarkOverlay() = default;
WatermarkOverlay::~WatermarkOverlay() = default;

void WatermarkOverlay::Discard() {
    mReader.reset();
    mImage = QImage();
}

void WatermarkOverlay::Draw(StDrawingContext& context, const CTambleDocModel& model, const QRect& cropArea,
                            const QRegion& clip, double zoom, const QSize& crop) {
    if (!model.GetWatermarkFile().IsSet()) return;
    QPainter* p = context.GetDeviceContext();
    if (p == nullptr) return;
    if (!mReader) mReader = std::make_unique<ImageFileReader>(model.GetWatermarkFile());
    const bool readable = mReader->HasImporter();
    const Rect natural = mReader->NaturalBounds();
    const Rect placed = PlaceWatermarkOverCrop(model, readable ? natural.Width() : kPlaceholderSide,
                                               readable ? natural.Height() : kPlaceholderSide,
                                               MakeRect(cropArea.left(), cropArea.top(), cropArea.width(),
                                                        cropArea.height()),
                                               zoom, crop.width(), crop.height());
    if (placed.IsEmpty()) return;
    const QRect target(placed.left, placed.top, placed.Width(), placed.Height());

    p->save();
    p->setClipRegion(context.MapRegion(clip & cropArea), Qt::IntersectClip);
    const QRect device = context.MapRect(target);
    if (readable) {
        const OffscreenWorld& picture = mReader->Picture();
        if (mImage.isNull())
            mImage = QImage(picture.Pixels(), picture.Width(), picture.Height(), picture.Stride(),
                            QImage::Format_RGBA8888);
        p->setRenderHint(QPainter::SmoothPixmapTransform, true);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->drawImage(device, mImage);
    } else {
        DrawPlaceholder(*p, device);
    }
    p->restore();
}
