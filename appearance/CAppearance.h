// The look-and-feel services the views draw with: cursors, lines, frames,
// fills, shading, pictures, text. Rectangles and regions are in the image
// coordinates of the view being drawn; every operation draws into the
// current drawing context (StDrawingContext) and does nothing when that
// context has no device. There is one appearance object for the program.
#pragma once

#include <QBrush>
#include <QPixmap>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <string>

#include "appearance/StDrawingContext.h"
#include "platform/media/Rect.h"

// Justification of DrawTextBox.
constexpr int16_t kJustifyLeft = 0;
constexpr int16_t kJustifyCenter = 1;
constexpr int16_t kJustifyRight = -1;

// Pattern kinds of FillRectPattern.
constexpr int16_t kPatternSolid = 1;
constexpr int16_t kPatternBackwardDiagonal = 28;

class CAppearance {
public:
    virtual ~CAppearance() = default;

    // The program's appearance object; an internal error (and a fallback
    // object) when none has been installed.
    static CAppearance& Get();
    static bool Exists();
    // Deletes any previous object and installs this one.
    static void Install(std::unique_ptr<CAppearance> appearance);
    static void Remove();

    virtual void SetThemeCursor(int16_t cursorNumber) = 0;
    virtual void DrawThumbShape(const Rect& r, int16_t orientation, bool active) = 0;
    virtual void DrawLine(int x, int y, int dx, int dy) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void LineBy(int dx, int dy) = 0;
    virtual void FillRectTheme(const Rect& r, int16_t themeColor) = 0;
    virtual void FillRectBrush(const Rect& r, const QBrush& brush) = 0;
    virtual void FillRectPattern(const Rect& r, int16_t kind, int16_t themeColor) = 0;
    virtual void DrawButtonBox(const Rect& r, bool active) = 0;
    virtual void DrawWellFrame(const Rect& r) = 0;
    virtual void InvertRect(const Rect& r) = 0;
    virtual void FrameRectColor(const Rect& r, int16_t colorCode) = 0;
    virtual void ShadeRegion(const QRegion& region) = 0;
    virtual void FillRegionThemeBrush(const QRegion& region, int16_t themeColor) = 0;
    virtual void InvertRegion(const QRegion& region) = 0;
    virtual void FillRegionTheme(const QRegion& region, int16_t themeColor) = 0;
    virtual void DrawFocusRing(const Rect& r, bool flag) = 0;
    virtual void DrawPictureResource(int16_t pictureID, const Rect& r, bool enabled) = 0;
    virtual void DrawPicture(const QPixmap& picture, const Rect& r, bool enabled) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void MoveBy(int dx, int dy) = 0;
    virtual void DrawStringResource(int16_t listID, int16_t index, int16_t textColor) = 0;
    virtual void DrawString(const std::string& text, int16_t textColor) = 0;
    virtual void DrawStringColored(const std::string& text, int16_t textColor, const RGBColor16& background) = 0;
    virtual void DrawTextBox(const std::string& text, const Rect& r, int16_t justification,
                             int16_t textColor) = 0;
    virtual void DrawEmbossedTextBox(const std::string& text, const Rect& r, int16_t justification,
                                     int16_t textColor) = 0;
    virtual void DrawCString(const char* text, int16_t textColor) = 0;
};

// A rectangle grown (or shrunk, for negative amounts) on every side.
inline Rect InsetRect(const Rect& r, int dx, int dy) {
    return Rect{int16_t(r.top + dy), int16_t(r.left + dx), int16_t(r.bottom - dy), int16_t(r.right - dx)};
}
