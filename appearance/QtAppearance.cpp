#include "appearance/QtAppearance.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPolygon>

#include "appearance/InternalError.h"
#include "resources/ResourceFile.h"
#include "resources/StringLists.h"

namespace {
QPointer<QWidget> gCursorTarget;
int16_t gLastCursor = -1;

// The current context when it can draw; null otherwise.
StDrawingContext* DrawingContext() {
    StDrawingContext* context = StDrawingContext::GetCurrent();
    if (context == nullptr || context->GetDeviceContext() == nullptr) return nullptr;
    return context;
}

std::optional<QColor> Theme(const StDrawingContext& context, int16_t themeColor, int line) {
    const auto source = ThemeColorSourceFor(themeColor);
    if (!source) {
        ReportInternalError("CAppearance", line);
        return std::nullopt;
    }
    return ResolveSystemColor(*source, context.GetPalette());
}

std::optional<QColor> TextColor(const StDrawingContext& context, int16_t textColor, int line) {
    const auto source = ThemeTextColorSourceFor(textColor);
    if (!source) {
        ReportInternalError("CAppearance", line);
        return std::nullopt;
    }
    return ResolveSystemColor(*source, context.GetPalette());
}

// A one-pixel line between two image points, drawn in a colour.
void Line(StDrawingContext& context, QPoint a, QPoint b, const QColor& color) {
    QPainter* p = context.GetDeviceContext();
    p->save();
    p->setPen(QPen(color, 1));
    p->drawLine(context.MapPoint(a.x(), a.y()), context.MapPoint(b.x(), b.y()));
    p->restore();
}

// A one-pixel frame just inside a device rectangle.
void Frame(QPainter* p, const QRect& r, const QColor& color) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p->save();
    p->setPen(QPen(color, 1));
    p->setBrush(Qt::NoBrush);
    p->drawRect(r.adjusted(0, 0, -1, -1));
    p->restore();
}

void WhiteWash(QPainter* p, const QRegion& deviceRegion) {
    // White at half strength over what is there: the blend of white through
    // a mid-grey weight.
    p->save();
    p->setClipRegion(deviceRegion, Qt::IntersectClip);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(deviceRegion.boundingRect(), QColor(255, 255, 255, 128));
    p->restore();
}

void Invert(QPainter* p, const QRegion& deviceRegion) {
    p->save();
    p->setClipRegion(deviceRegion, Qt::IntersectClip);
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    p->fillRect(deviceRegion.boundingRect(), Qt::white);
    p->restore();
}

Qt::Alignment AlignmentFor(int16_t justification) {
    if (justification == kJustifyCenter) return Qt::AlignHCenter | Qt::AlignVCenter;
    if (justification == kJustifyRight) return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void TextInBox(StDrawingContext& context, const QString& text, const QRect& box, int16_t justification,
               const QColor& color) {
    QPainter* p = context.GetDeviceContext();
    const QFontMetrics metrics(p->font());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, std::max(0, box.width()));
    p->save();
    p->setBackgroundMode(Qt::TransparentMode);
    p->setPen(color);
    p->drawText(box, int(AlignmentFor(justification)) | Qt::TextSingleLine, shown);
    p->restore();
}
}  // namespace

// ---- Cursors ----

void QtAppearance::SetCursorTarget(QWidget* widget) { gCursorTarget = widget; }
QWidget* QtAppearance::GetCursorTarget() { return gCursorTarget.data(); }
int16_t QtAppearance::LastCursorNumber() { return gLastCursor; }

QCursor QtAppearance::CursorFor(CursorKind kind) {
    switch (kind) {
        case CursorKind::Arrow: return QCursor(Qt::ArrowCursor);
        case CursorKind::IBeam: return QCursor(Qt::IBeamCursor);
        case CursorKind::Crosshair: return QCursor(Qt::CrossCursor);
        case CursorKind::Busy: return QCursor(Qt::WaitCursor);
        case CursorKind::ArrowBusy: return QCursor(Qt::BusyCursor);
        case CursorKind::SizeWestEast: return QCursor(Qt::SizeHorCursor);
        case CursorKind::SizeNorthwestSoutheast: return QCursor(Qt::SizeFDiagCursor);
        case CursorKind::SizeNortheastSouthwest: return QCursor(Qt::SizeBDiagCursor);
        case CursorKind::SizeNorthSouth: return QCursor(Qt::SizeVerCursor);
        case CursorKind::Move: return QCursor(Qt::SizeAllCursor);
        case CursorKind::Resource201:
        case CursorKind::Resource202: {
            const bool open = kind == CursorKind::Resource201;
            static QHash<int, QCursor> loaded;
            const int id = open ? 201 : 202;
            if (!loaded.contains(id)) {
                ResourceFile::IsAvailable();  // registers the compiled-in resources
                const QPixmap image(QStringLiteral(":/CURS/%1.png").arg(id));
                if (image.isNull())
                    loaded.insert(id, QCursor(open ? Qt::OpenHandCursor : Qt::ClosedHandCursor));
                else
                    loaded.insert(id, QCursor(image, image.width() / 2, image.height() / 2));
            }
            return loaded.value(id);
        }
    }
    return QCursor(Qt::ArrowCursor);
}

void QtAppearance::SetThemeCursor(int16_t cursorNumber) {
    const auto kind = CursorKindFor(cursorNumber);
    if (!kind) {
        ReportInternalError("CAppearance", __LINE__);
        return;
    }
    gLastCursor = cursorNumber;
    QWidget* target = gCursorTarget.data();
    if (target != nullptr) target->setCursor(CursorFor(*kind));
}

// ---- Shapes ----

void QtAppearance::DrawThumbShape(const Rect& r, int16_t orientation, bool active) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr || c->GetView() == nullptr) return;
    const int left = r.left, top = r.top, right = r.right - 1, bottom = r.bottom - 1;
    const int middle = (r.left + r.right) / 2;
    QPolygon shape;
    if (orientation == 2)
        shape << QPoint(middle, top) << QPoint(left, top + 6) << QPoint(left, bottom) << QPoint(right, bottom)
              << QPoint(right, top + 6);
    else
        shape << QPoint(right, top) << QPoint(left, top) << QPoint(left, bottom - 6) << QPoint(middle, bottom)
              << QPoint(right, bottom - 6);
    const auto fill = Theme(*c, active ? 29 : 30, __LINE__);
    const auto outline = Theme(*c, active ? 33 : 38, __LINE__);
    if (!fill || !outline) return;
    QPolygon device;
    for (const QPoint& p : shape) device << c->MapPoint(p.x(), p.y());
    QPainter* p = c->GetDeviceContext();
    p->save();
    p->setPen(QPen(*outline, 1));
    p->setBrush(*fill);
    p->drawPolygon(device);
    p->restore();
    if (!active) return;
    // A shadow on the right: the right edge and its slant, then one pixel in.
    const auto dark = Theme(*c, 32, __LINE__);
    const auto shadow = Theme(*c, 34, __LINE__);
    if (orientation == 2) {
        Line(*c, QPoint(right, top + 6), QPoint(right, bottom), *dark);
        Line(*c, QPoint(middle, top), QPoint(right, top + 6), *dark);
        Line(*c, QPoint(right - 1, top + 7), QPoint(right - 1, bottom - 1), *shadow);
        Line(*c, QPoint(middle, top + 1), QPoint(right - 1, top + 6), *shadow);
    } else {
        Line(*c, QPoint(right, top), QPoint(right, bottom - 6), *dark);
        Line(*c, QPoint(right, bottom - 6), QPoint(middle, bottom), *dark);
        Line(*c, QPoint(right - 1, top + 1), QPoint(right - 1, bottom - 7), *shadow);
        Line(*c, QPoint(right - 1, bottom - 7), QPoint(middle, bottom - 1), *shadow);
    }
}

void QtAppearance::DrawLine(int x, int y, int dx, int dy) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    c->GetDeviceContext()->drawLine(c->MapPoint(x, y), c->MapPoint(x + dx, y + dy));
    c->SetPenPosition(QPoint(x + dx, y + dy));
}

void QtAppearance::LineTo(int x, int y) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const QPoint from = c->GetPenPosition();
    c->GetDeviceContext()->drawLine(c->MapPoint(from.x(), from.y()), c->MapPoint(x, y));
    c->SetPenPosition(QPoint(x, y));
}

void QtAppearance::LineBy(int dx, int dy) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const QPoint from = c->GetPenPosition();
    LineTo(from.x() + dx, from.y() + dy);
}

void QtAppearance::MoveTo(int x, int y) {
    if (StDrawingContext* c = DrawingContext()) c->SetPenPosition(QPoint(x, y));
}

void QtAppearance::MoveBy(int dx, int dy) {
    if (StDrawingContext* c = DrawingContext()) c->SetPenPosition(c->GetPenPosition() + QPoint(dx, dy));
}

void QtAppearance::FillRectTheme(const Rect& r, int16_t themeColor) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    if (const auto color = Theme(*c, themeColor, __LINE__)) c->GetDeviceContext()->fillRect(c->MapRect(r), *color);
}

void QtAppearance::FillRectBrush(const Rect& r, const QBrush& brush) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    c->GetDeviceContext()->fillRect(c->MapRect(r), brush);
}

void QtAppearance::FillRectPattern(const Rect& r, int16_t kind, int16_t themeColor) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    if (kind != kPatternSolid && kind != kPatternBackwardDiagonal) {
        ReportInternalError("CAppearance", __LINE__);
        return;
    }
    const auto color = Theme(*c, themeColor, __LINE__);
    if (!color) return;
    QPainter* p = c->GetDeviceContext();
    const QRect device = c->MapRect(r);
    if (kind == kPatternSolid) {
        p->fillRect(device, *color);
        return;
    }
    p->fillRect(device, QColor(128, 128, 128));
    p->fillRect(device, QBrush(*color, Qt::BDiagPattern));
}

void QtAppearance::DrawButtonBox(const Rect& r, bool active) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr || r.IsEmpty()) return;
    QPainter* p = c->GetDeviceContext();
    const QRect device = c->MapRect(r);
    if (!active) {
        const auto inside = Theme(*c, 35, __LINE__);
        const auto outline = Theme(*c, 32, __LINE__);
        p->fillRect(device, *inside);
        Frame(p, device, *outline);
        return;
    }
    const auto face = Theme(*c, 1, __LINE__);
    const auto light = Theme(*c, 33, __LINE__);
    const auto shadow = Theme(*c, 34, __LINE__);
    p->fillRect(device, *face);
    Frame(p, device, Qt::black);
    const int l = r.left + 1, t = r.top + 1, rt = r.right - 2, b = r.bottom - 2;
    Line(*c, QPoint(l, t), QPoint(rt - 1, t), *light);
    Line(*c, QPoint(l, t), QPoint(l, b - 1), *light);
    Line(*c, QPoint(l, b), QPoint(rt, b), *shadow);
    Line(*c, QPoint(rt, t), QPoint(rt, b), *shadow);
}

void QtAppearance::DrawWellFrame(const Rect& r) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr || r.IsEmpty()) return;
    QPainter* p = c->GetDeviceContext();
    Frame(p, c->MapRect(InsetRect(r, 1, 1)), Qt::black);
    const auto shadow = Theme(*c, 34, __LINE__);
    const auto light = Theme(*c, 33, __LINE__);
    const int l = r.left, t = r.top, rt = r.right - 1, b = r.bottom - 1;
    Line(*c, QPoint(l, t), QPoint(rt - 1, t), *shadow);
    Line(*c, QPoint(l, t), QPoint(l, b - 1), *shadow);
    Line(*c, QPoint(l, b), QPoint(rt, b), *light);
    Line(*c, QPoint(rt, t), QPoint(rt, b), *light);
}

void QtAppearance::InvertRect(const Rect& r) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr || c->GetView() == nullptr) return;
    Invert(c->GetDeviceContext(), QRegion(c->MapRect(r)));
}

void QtAppearance::FrameRectColor(const Rect& r, int16_t colorCode) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const auto color = ColorForCode(colorCode);
    if (!color) {
        ReportInternalError("CAppearance", __LINE__);
        return;
    }
    Frame(c->GetDeviceContext(), c->MapRect(r), *color);
}

void QtAppearance::ShadeRegion(const QRegion& region) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr || region.isEmpty()) return;
    WhiteWash(c->GetDeviceContext(), c->MapRegion(region));
}

void QtAppearance::FillRegionThemeBrush(const QRegion& region, int16_t themeColor) {
    FillRegionTheme(region, themeColor);
}

void QtAppearance::InvertRegion(const QRegion& region) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr || region.isEmpty()) return;
    Invert(c->GetDeviceContext(), c->MapRegion(region));
}

void QtAppearance::FillRegionTheme(const QRegion& region, int16_t themeColor) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const auto color = Theme(*c, themeColor, __LINE__);
    if (!color || region.isEmpty()) return;
    QPainter* p = c->GetDeviceContext();
    for (const QRect& r : c->MapRegion(region)) p->fillRect(r, *color);
}

void QtAppearance::DrawFocusRing(const Rect& r, bool) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    QPainter* p = c->GetDeviceContext();
    Frame(p, c->MapRect(InsetRect(r, 1, 1)), p->brush().color());
}

// ---- Pictures ----

QPixmap QtAppearance::PictureResource(int16_t pictureID) {
    static QHash<int, QPixmap> loaded;
    auto it = loaded.find(pictureID);
    if (it != loaded.end()) return *it;
    ResourceFile::IsAvailable();
    const QPixmap picture(QStringLiteral(":/PICT/%1.png").arg(pictureID));
    loaded.insert(pictureID, picture);
    return picture;
}

void QtAppearance::DrawPictureResource(int16_t pictureID, const Rect& r, bool enabled) {
    DrawPicture(PictureResource(pictureID), r, enabled);
}

void QtAppearance::DrawPicture(const QPixmap& picture, const Rect& r, bool enabled) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr || picture.isNull()) return;
    QPainter* p = c->GetDeviceContext();
    const QRect device = c->MapRect(r);
    p->drawPixmap(device, picture);
    if (!enabled) {
        WhiteWash(p, QRegion(device));
        c->NormalPen();
        c->SetPenColor(kColorBlack);
    }
}

// ---- Text ----

void QtAppearance::DrawStringResource(int16_t listID, int16_t index, int16_t textColor) {
    DrawString(GetIndString(listID, index), textColor);
}

void QtAppearance::DrawString(const std::string& text, int16_t textColor) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const auto color = TextColor(*c, textColor, __LINE__);
    if (!color) return;
    QPainter* p = c->GetDeviceContext();
    const QString s = QString::fromStdString(text);
    const QFontMetrics metrics(p->font());
    const QPoint at = c->GetPenPosition();
    p->save();
    p->setBackgroundMode(Qt::TransparentMode);
    p->setPen(*color);
    // The pen position is the text's bottom edge.
    p->drawText(c->MapPoint(at.x(), at.y() - metrics.descent()), s);
    p->restore();
    c->SetPenPosition(at + QPoint(metrics.horizontalAdvance(s), 0));
}

void QtAppearance::DrawStringColored(const std::string& text, int16_t textColor, const RGBColor16& background) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const auto color = TextColor(*c, textColor, __LINE__);
    if (!color) return;
    QPainter* p = c->GetDeviceContext();
    const QString s = QString::fromStdString(text);
    const QFontMetrics metrics(p->font());
    const QPoint at = c->GetPenPosition();
    const int width = metrics.horizontalAdvance(s);
    const QPoint topLeft = c->MapPoint(at.x(), at.y() - metrics.height());
    p->fillRect(QRect(topLeft, QSize(width, metrics.height())),
                QColor(background.red >> 8, background.green >> 8, background.blue >> 8));
    p->save();
    p->setPen(*color);
    p->drawText(c->MapPoint(at.x(), at.y() - metrics.descent()), s);
    p->restore();
    c->SetPenPosition(at + QPoint(width, 0));
}

void QtAppearance::DrawTextBox(const std::string& text, const Rect& r, int16_t justification, int16_t textColor) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const auto color = TextColor(*c, textColor, __LINE__);
    if (!color) return;
    TextInBox(*c, QString::fromStdString(text), c->MapRect(r), justification, *color);
}

void QtAppearance::DrawEmbossedTextBox(const std::string& text, const Rect& r, int16_t justification,
                                       int16_t textColor) {
    StDrawingContext* c = DrawingContext();
    if (c == nullptr) return;
    const auto color = TextColor(*c, textColor, __LINE__);
    if (!color) return;
    const QString s = QString::fromStdString(text);
    const int shift = justification == kJustifyCenter ? 2 : 1;
    const QColor relief = textColor == kTextColorWhite ? QColor(0, 0, 0) : QColor(255, 255, 255);
    TextInBox(*c, s, c->MapRect(r).translated(shift, 1), justification, relief);
    TextInBox(*c, s, c->MapRect(r), justification, *color);
}

void QtAppearance::DrawCString(const char* text, int16_t textColor) {
    DrawString(text != nullptr ? std::string(text) : std::string(), textColor);
}
