#include "appearance/StDrawingContext.h"

#include <QApplication>
#include <QFontDatabase>
#include <QWidget>
#include <cstdlib>

#include "appearance/AppearanceTables.h"
#include "appearance/InternalError.h"
#include "framework/TArray.h"
#include "framework/gui/LView.h"

namespace {
TArray<StDrawingContext*>& ContextStack() {
    static auto* stack = new TArray<StDrawingContext*>;
    return *stack;
}

QColor FromRGB16(const RGBColor16& c) { return QColor(c.red >> 8, c.green >> 8, c.blue >> 8); }

// The painter of an open context that draws into this device, if any.
QPainter* PainterDrawingInto(QPaintDevice* device) {
    TArrayIterator<StDrawingContext*> it(ContextStack(), LArrayIterator::from_End);
    StDrawingContext* context = nullptr;
    while (it.Previous(context)) {
        QPainter* painter = context->GetDeviceContext();
        if (painter != nullptr && painter->device() == device) return painter;
    }
    return nullptr;
}
}  // namespace

int ClampCoordinate(int value) {
    if (std::abs(value) <= kCoordinateLimit) return value;
    return value < 0 ? -kCoordinateLimit : kCoordinateLimit;
}

StDrawingContext::StDrawingContext(LView* view) : mView(view), mWidget(view) {
    QPaintDevice* device = view != nullptr ? view->viewport() : nullptr;
    if (view != nullptr) mOrigin = -view->GetScrollPosition();
    QPainter* shared = PainterDrawingInto(device);
    mDevice = shared != nullptr ? std::make_unique<QtDrawingContext>(shared)
                                : std::make_unique<QtDrawingContext>(device);
    Open();
}

StDrawingContext::StDrawingContext(QPaintDevice* device, QPoint origin) : mOrigin(origin) {
    if (device != nullptr && device->devType() == QInternal::Widget) mWidget = static_cast<QWidget*>(device);
    QPainter* shared = PainterDrawingInto(device);
    mDevice = shared != nullptr ? std::make_unique<QtDrawingContext>(shared)
                                : std::make_unique<QtDrawingContext>(device);
    Open();
}

StDrawingContext::StDrawingContext(QPainter* painter, QWidget* widget, QPoint origin)
    : mWidget(widget), mDevice(std::make_unique<QtDrawingContext>(painter)), mOrigin(origin) {
    Open();
}

void StDrawingContext::Open() {
    ContextStack().Append(this);
    mPalette = mWidget != nullptr ? mWidget->palette() : QApplication::palette();
    if (!mDevice->IsValid()) {
        ReportInternalError("QtDrawingContext", __LINE__);
        return;
    }
    QPainter* p = mDevice->Painter();
    p->resetTransform();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::Antialiasing, false);
    mPenColor = Qt::black;
    mBackgroundColor = Qt::white;
    mTextColor = Qt::black;
    mBackgroundMode = kBackgroundOpaque;
    p->setBackgroundMode(Qt::OpaqueMode);
    p->setBackground(mBackgroundColor);
    ApplyPen();
}

StDrawingContext::~StDrawingContext() {
    ContextStack().Remove(this);
    mDevice.reset();  // restores the painter's state, ends an owned painter
}

StDrawingContext* StDrawingContext::GetCurrent() {
    StDrawingContext* top = nullptr;
    if (!ContextStack().GetItem(ContextStack().GetCount(), top)) {
        ReportInternalError("StDrawingContext", __LINE__);
        return nullptr;
    }
    return top;
}

int StDrawingContext::CountContexts() { return ContextStack().GetCount(); }

void StDrawingContext::ApplyPen() {
    QPainter* p = GetDeviceContext();
    if (p == nullptr) return;
    QPen pen(mPenColor);
    pen.setWidth(mPenWidth);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p->setPen(pen);
    p->setBrush(mPenColor);
}

void StDrawingContext::SetBackgroundMode(int16_t mode) {
    if (mode != kBackgroundOpaque && mode != kBackgroundTransparent) {
        ReportInternalError("StDrawingContext", __LINE__);
        return;
    }
    mBackgroundMode = mode;
    if (QPainter* p = GetDeviceContext())
        p->setBackgroundMode(mode == kBackgroundOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
}

void StDrawingContext::SetFont(int16_t kind, int16_t size, int16_t style) {
    QPainter* p = GetDeviceContext();
    QFont font;
    if (kind == kFontCurrent) {
        font = p != nullptr ? p->font() : QApplication::font();
    } else if (kind == kFontSystemSmall) {
        font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
        font.setFamily(QStringLiteral("Arial"));
    } else {
        ReportInternalError("StDrawingContext", __LINE__);
        return;
    }
    // Points are converted to pixels by the device's own resolution.
    if (size == -1)
        font.setPointSize(8);
    else if (size > 0)
        font.setPointSize(size);
    switch (style) {
        case kFontStyleNormal: font.setWeight(QFont::Normal); break;
        case kFontStyleBold: font.setWeight(QFont::Bold); break;
        case kFontStyleItalic: font.setItalic(true); break;
        case kFontStyleUnderline: font.setUnderline(true); break;
        default: ReportInternalError("StDrawingContext", __LINE__); return;
    }
    if (p != nullptr) p->setFont(font);
}

void StDrawingContext::SetPenColor(int16_t colorCode) {
    const auto color = ColorForCode(colorCode);
    if (!color) {
        ReportInternalError("StDrawingContext", __LINE__);
        return;
    }
    mPenColor = *color;
    ApplyPen();
}

void StDrawingContext::SetPenTheme(int16_t themeColor) {
    const auto source = ThemeColorSourceFor(themeColor);
    if (!source) {
        ReportInternalError("StDrawingContext", __LINE__);
        return;
    }
    mPenColor = ResolveSystemColor(*source, mPalette);
    ApplyPen();
}

void StDrawingContext::SetPenRGB(const RGBColor16& color) {
    mPenColor = FromRGB16(color);
    ApplyPen();
}

void StDrawingContext::SetBackgroundRGB(const RGBColor16& color) {
    mBackgroundColor = FromRGB16(color);
    if (QPainter* p = GetDeviceContext()) p->setBackground(mBackgroundColor);
}

void StDrawingContext::SetTextColor(int16_t themeTextColor) {
    const auto source = ThemeTextColorSourceFor(themeTextColor);
    if (!source) {
        ReportInternalError("StDrawingContext", __LINE__);
        return;
    }
    mTextColor = ResolveSystemColor(*source, mPalette);
}

void StDrawingContext::SetPenWidth(int width) {
    mPenWidth = width < 1 ? 1 : width;
    ApplyPen();
}

void StDrawingContext::NormalPen() {
    mPenWidth = 1;
    if (QPainter* p = GetDeviceContext()) p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    ApplyPen();
}

QPoint StDrawingContext::MapPoint(int x, int y) const {
    return QPoint(ClampCoordinate(x + mOrigin.x()), ClampCoordinate(y + mOrigin.y()));
}

QRect StDrawingContext::MapRect(const Rect& r) const {
    const QPoint topLeft = MapPoint(r.left, r.top);
    const QPoint bottomRight = MapPoint(r.right, r.bottom);
    // Toolbox rectangles exclude their bottom and right edges.
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

QRect StDrawingContext::MapRect(const QRect& r) const {
    const QPoint topLeft = MapPoint(r.left(), r.top());
    const QPoint bottomRight = MapPoint(r.left() + r.width(), r.top() + r.height());
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

QRegion StDrawingContext::MapRegion(const QRegion& region) const {
    QRegion out;
    for (const QRect& r : region) out += MapRect(r);
    return out;
}
