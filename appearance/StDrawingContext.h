// The stack-scoped drawing context a view creates at the start of a drawing
// pass. It opens the view's device context, sets the defaults (black pen
// and fill, white background, opaque background mode) and is the target of
// the appearance's operations until it ends. Contexts nest; the innermost
// is current, and ending it returns drawing to the one outside it.
//
// Coordinates given to the appearance are image coordinates of the view;
// the context's origin moves them to device coordinates (for a view: less
// its scroll position), and any coordinate beyond +/-8192 is brought back
// to 8192 keeping its sign.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <memory>

#include "appearance/QtDrawingContext.h"
#include "platform/media/Rect.h"

class LView;
class QWidget;

// A colour with 16 bits per channel.
struct RGBColor16 {
    uint16_t red = 0, green = 0, blue = 0;
};

constexpr int kCoordinateLimit = 8192;
constexpr int16_t kBackgroundOpaque = 0;
constexpr int16_t kBackgroundTransparent = 36;

// Font kinds and styles of SetFont.
constexpr int16_t kFontCurrent = 0;
constexpr int16_t kFontSystemSmall = 1;
constexpr int16_t kFontStyleNormal = 0;
constexpr int16_t kFontStyleBold = 1;
constexpr int16_t kFontStyleItalic = 2;
constexpr int16_t kFontStyleUnderline = 4;

class StDrawingContext {
public:
    // A view's drawing pass (inside its paint event).
    explicit StDrawingContext(LView* view);
    // A paint device without a view (an image, a plain widget).
    explicit StDrawingContext(QPaintDevice* device, QPoint origin = {});
    // An active painter of someone else's paint event.
    StDrawingContext(QPainter* painter, QWidget* widget, QPoint origin = {});
    ~StDrawingContext();
    StDrawingContext(const StDrawingContext&) = delete;
    StDrawingContext& operator=(const StDrawingContext&) = delete;

    // The innermost context; null (an internal error) when none is open.
    static StDrawingContext* GetCurrent();
    static int CountContexts();

    LView* GetView() const { return mView; }
    QWidget* GetWidget() const { return mWidget; }
    // Null when the context could not open its device.
    QPainter* GetDeviceContext() const { return mDevice ? mDevice->Painter() : nullptr; }
    QPoint GetOrigin() const { return mOrigin; }
    const QPalette& GetPalette() const { return mPalette; }

    void SetBackgroundMode(int16_t mode);
    int16_t GetBackgroundMode() const { return mBackgroundMode; }
    void SetFont(int16_t kind, int16_t size, int16_t style);

    void SetPenColor(int16_t colorCode);
    void SetPenTheme(int16_t themeColor);
    void SetPenRGB(const RGBColor16& color);
    void SetBackgroundRGB(const RGBColor16& color);
    void SetTextColor(int16_t themeTextColor);
    void SetPenWidth(int width);
    // Back to a one-pixel pen in the pen colour.
    void NormalPen();

    QColor GetPenColor() const { return mPenColor; }
    QColor GetBackgroundColor() const { return mBackgroundColor; }
    QColor GetTextColor() const { return mTextColor; }
    int GetPenWidth() const { return mPenWidth; }

    // Image coordinates to device coordinates (moved and clamped).
    QPoint MapPoint(int x, int y) const;
    QRect MapRect(const Rect& r) const;
    QRect MapRect(const QRect& r) const;
    QRegion MapRegion(const QRegion& region) const;

    // The pen position for MoveTo/LineTo, in image coordinates.
    QPoint GetPenPosition() const { return mPenPosition; }
    void SetPenPosition(QPoint p) { mPenPosition = p; }

private:
    void Open();
    void ApplyPen();

    LView* mView = nullptr;
    QWidget* mWidget = nullptr;
    std::unique_ptr<QtDrawingContext> mDevice;
    QColor mPenColor = Qt::black;
    QColor mBackgroundColor = Qt::white;
    QColor mTextColor = Qt::black;
    int mPenWidth = 1;
    QPoint mOrigin;
    QPoint mPenPosition;
    int16_t mBackgroundMode = kBackgroundOpaque;
    QPalette mPalette;
};

// Moves one coordinate back into +/-8192, keeping its sign.
int ClampCoordinate(int value);
