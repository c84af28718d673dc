#include "preview/WatermarkOverlay.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "appearance/AppearanceTables.h"
#include "appearance/StDrawingContext.h"
#include "model/CTambleDocModel.h"
#include "platform/media/image/PictureLayout.h"

namespace {
constexpr int kPlaceholderSide = 64;
constexpr int kPlaceholderPen = 4;

int Rounded(double v) { return int(std::lround(v)); }

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

QSize WatermarkOverlay::SizeOnScreen(const QSize& natural, double zoom, const QSize& crop,
                                     const CTambleDocModel& model) {
    int width = Rounded(natural.width() * zoom);
    int height = Rounded(natural.height() * zoom);
    const int32_t outWidth = model.GetOutputWidth(), outHeight = model.GetOutputHeight();
    if (model.GetCustomSize() && outWidth > 0 && outHeight > 0) {
        // The output scales the crop; the watermark is laid over the output.
        width = std::clamp(Rounded(double(width) * crop.width() / outWidth), 4, 500);
        height = std::clamp(Rounded(double(height) * crop.height() / outHeight), 4, 500);
    }
    return QSize(width, height);
}

void WatermarkOverlay::Draw(StDrawingContext& context, const CTambleDocModel& model, const QRect& cropArea,
                            const QRegion& clip, double zoom, const QSize& crop) {
    if (!model.GetWatermarkFile().IsSet()) return;
    QPainter* p = context.GetDeviceContext();
    if (p == nullptr) return;
    if (!mReader) mReader = std::make_unique<ImageFileReader>(model.GetWatermarkFile());
    const bool readable = mReader->HasImporter();
    const Rect natural = mReader->NaturalBounds();
    const QSize size = SizeOnScreen(readable ? QSize(natural.Width(), natural.Height())
                                             : QSize(kPlaceholderSide, kPlaceholderSide),
                                    zoom, crop, model);
    if (size.isEmpty()) return;
    const Rect placed = PlaceRectInFrame(MakeRect(0, 0, size.width(), size.height()),
                                         MakeRect(cropArea.left(), cropArea.top(), cropArea.width(), cropArea.height()),
                                         int32_t(model.GetWatermarkPlacement()));
    const QRect target = QRect(placed.left, placed.top, placed.Width(), placed.Height()).translated(cropArea.topLeft());

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
