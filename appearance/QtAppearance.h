// The appearance on QPainter and the system palette.
#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

#include "appearance/AppearanceTables.h"
#include "appearance/CAppearance.h"

class QtAppearance : public CAppearance {
public:
    QtAppearance() = default;

    // Where SetThemeCursor puts the cursor when no drawing context is open
    // (the view under the mouse sets itself before it asks).
    static void SetCursorTarget(QWidget* widget);
    static QWidget* GetCursorTarget();
    // The number of the cursor set last (-1 before any).
    static int16_t LastCursorNumber();
    // The cursor for a kind; resources 201 and 202 come from the resource file.
    static QCursor CursorFor(CursorKind kind);
    // Picture resource by number (":/PICT/<n>.png"); null when missing.
    static QPixmap PictureResource(int16_t pictureID);

    void SetThemeCursor(int16_t cursorNumber) override;
    void DrawThumbShape(const Rect& r, int16_t orientation, bool active) override;
    void DrawLine(int x, int y, int dx, int dy) override;
    void LineTo(int x, int y) override;
    void LineBy(int dx, int dy) override;
    void FillRectTheme(const Rect& r, int16_t themeColor) override;
    void FillRectBrush(const Rect& r, const QBrush& brush) override;
    void FillRectPattern(const Rect& r, int16_t kind, int16_t themeColor) override;
    void DrawButtonBox(const Rect& r, bool active) override;
    void DrawWellFrame(const Rect& r) override;
    void InvertRect(const Rect& r) override;
    void FrameRectColor(const Rect& r, int16_t colorCode) override;
    void ShadeRegion(const QRegion& region) override;
    void FillRegionThemeBrush(const QRegion& region, int16_t themeColor) override;
    void InvertRegion(const QRegion& region) override;
    void FillRegionTheme(const QRegion& region, int16_t themeColor) override;
    void DrawFocusRing(const Rect& r, bool flag) override;
    void DrawPictureResource(int16_t pictureID, const Rect& r, bool enabled) override;
    void DrawPicture(const QPixmap& picture, const Rect& r, bool enabled) override;
    void MoveTo(int x, int y) override;
    void MoveBy(int dx, int dy) override;
    void DrawStringResource(int16_t listID, int16_t index, int16_t textColor) override;
    void DrawString(const std::string& text, int16_t textColor) override;
    void DrawStringColored(const std::string& text, int16_t textColor, const RGBColor16& background) override;
    void DrawTextBox(const std::string& text, const Rect& r, int16_t justification, int16_t textColor) override;
    void DrawEmbossedTextBox(const std::string& text, const Rect& r, int16_t justification,
                             int16_t textColor) override;
    void DrawCString(const char* text, int16_t textColor) override;
};
