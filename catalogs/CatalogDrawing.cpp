#include "catalogs/CatalogDrawing.h"

#include <algorithm>
#include <cstring>

#include <QPixmapCache>

#include "appearance/CAppearance.h"
#include "appearance/StDrawingContext.h"
#include "resources/ResourceFile.h"

namespace {
constexpr int16_t kTextColorButton = 12;
constexpr int16_t kTextColorInactive = 2;
constexpr int16_t kThemeButtonFace = 1;
constexpr int16_t kThemeButtonShadow = 34;
constexpr int16_t kThemeHighlight = 14;
constexpr int kHighlightWidth = 3;
}  // namespace

Rect ToToolboxRect(const QRect& r) {
    auto clamp16 = [](int v) { return int16_t(std::clamp(v, -32768, 32767)); };
    return Rect{clamp16(r.top()), clamp16(r.left()), clamp16(r.top() + r.height()), clamp16(r.left() + r.width())};
}

void UseCellTextStyle(bool) {
    if (StDrawingContext* context = StDrawingContext::GetCurrent())
        context->SetFont(kFontSystemSmall, -1, kFontStyleNormal);
}

int16_t CellTextColor(bool active) { return active ? kTextColorButton : kTextColorInactive; }

void DrawCellBackground(const QRect& cell, bool active) {
    CAppearance& appearance = CAppearance::Get();
    if (active) {
        appearance.DrawButtonBox(ToToolboxRect(cell), true);
        return;
    }
    appearance.FillRectTheme(ToToolboxRect(cell), kThemeButtonFace);
    appearance.FillRegionTheme(QRegion(cell) - QRegion(cell.adjusted(1, 1, -1, -1)), kThemeButtonShadow);
}

void DrawSelectionHighlight(const QRect& active) {
    const QRegion ring = QRegion(active) - QRegion(active.adjusted(kHighlightWidth, kHighlightWidth,
                                                                   -kHighlightWidth, -kHighlightWidth));
    CAppearance::Get().FillRegionThemeBrush(ring, kThemeHighlight);
}

QRect FitPictureRect(QSize picture, const QRect& box) {
    if (picture.isEmpty() || box.isEmpty()) return QRect(box.center(), QSize(0, 0));
    QSize size = picture;
    if (size.width() > box.width() || size.height() > box.height())
        size = picture.scaled(box.size(), Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    const int left = box.left() + (box.width() - size.width()) / 2;
    const int top = box.top() + (box.height() - size.height()) / 2;
    return QRect(left, top, size.width(), size.height());
}

QImage CatalogPicture(int16_t pictureID) {
    ResourceFile::IsAvailable();  // registers the compiled-in resources
    return QImage(QStringLiteral(":/PICT/%1.png").arg(pictureID));
}

void DrawFittedPixmap(const QPixmap& picture, const QRect& box, bool active) {
    if (picture.isNull()) return;
    CAppearance::Get().DrawPicture(picture, ToToolboxRect(FitPictureRect(picture.size(), box)), active);
}

void DrawFittedPicture(int16_t pictureID, const QRect& box, bool active) {
    // Decoded once and kept in Qt's pixmap cache: cells are drawn often.
    const QString key = QStringLiteral("movelark-catalog-picture-%1").arg(pictureID);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap::fromImage(CatalogPicture(pictureID));
        QPixmapCache::insert(key, picture);
    }
    DrawFittedPixmap(picture, box, active);
}

OffscreenWorld WorldFromImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    OffscreenWorld world(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) std::memcpy(world.Row(y), rgb.constScanLine(y), size_t(rgb.width()) * 3);
    return world;
}

QImage ImageFromWorld(const OffscreenWorld& world) {
    if (world.IsEmpty()) return {};
    const QImage::Format format =
        world.PixelFormat() == OffscreenWorld::Format::RGB24 ? QImage::Format_RGB888 : QImage::Format_RGBA8888;
    // The world owns its pixels; the image gets its own copy.
    return QImage(world.Pixels(), world.Width(), world.Height(), world.Stride(), format).copy();
}
