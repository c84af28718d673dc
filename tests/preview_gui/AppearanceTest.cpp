// The drawing layer: colour, theme and cursor tables, nested drawing
// contexts and their origins, the coordinate clamp, fonts, text boxes,
// shading and the erase attachments, checked on the pixels they draw.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <vector>

#include "appearance/AppearanceTables.h"
#include "appearance/CAppearance.h"
#include "appearance/CPixPatEraseAttachment.h"
#include "appearance/InternalError.h"
#include "appearance/QtAppearance.h"
#include "appearance/StDrawingContext.h"

namespace {

QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QColor Pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Collects internal errors while it lives.
class ErrorCatcher {
public:
    ErrorCatcher() {
        mOld = SetInternalErrorHandler([this](const char* source, int) { sources.push_back(source); });
    }
    ~ErrorCatcher() { SetInternalErrorHandler(mOld); }
    std::vector<std::string> sources;

private:
    InternalErrorHandler mOld;
};

TEST(AppearanceTables, ColourCodesGiveTheirColoursAndOthersNone) {
    EXPECT_EQ(*ColorForCode(kColorYellow), QColor(128, 128, 0));
    EXPECT_EQ(*ColorForCode(kColorCyan), QColor(0, 128, 128));
    EXPECT_EQ(*ColorForCode(kColorBlue), QColor(0, 0, 255));
    EXPECT_FALSE(ColorForCode(31).has_value());
    EXPECT_FALSE(ColorForCode(0).has_value());
}

TEST(AppearanceTables, ThemeNumbersMapToPaletteRolesOrFixedColours) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(4, 5, 6));
    for (int16_t n : {1, 25, 47}) EXPECT_EQ(ResolveSystemColor(*ThemeColorSourceFor(n), palette), QColor(1, 2, 3)) << n;
    for (int16_t n : {3, 19, 24}) EXPECT_EQ(ResolveSystemColor(*ThemeColorSourceFor(n), palette), QColor(4, 5, 6)) << n;
    EXPECT_EQ(ResolveSystemColor(*ThemeColorSourceFor(13), palette), QColor(0, 128, 128));
    EXPECT_EQ(ResolveSystemColor(*ThemeColorSourceFor(48), palette), QColor(0, 255, 0));
    EXPECT_FALSE(ThemeColorSourceFor(0).has_value());
    EXPECT_FALSE(ThemeColorSourceFor(49).has_value());
    EXPECT_EQ(ResolveSystemColor(*ThemeTextColorSourceFor(kTextColorWhite), palette), QColor(255, 255, 255));
    EXPECT_FALSE(ThemeTextColorSourceFor(-3).has_value());
    EXPECT_FALSE(ThemeTextColorSourceFor(48).has_value());
}

TEST(AppearanceCursors, SizingNumbersShareTheirShapesAndResourcesAreImages) {
    EXPECT_EQ(CursorKindFor(1002), CursorKindFor(17));
    EXPECT_EQ(QtAppearance::CursorFor(*CursorKindFor(1002)).shape(), Qt::SizeHorCursor);
    EXPECT_EQ(QtAppearance::CursorFor(*CursorKindFor(1004)).shape(), Qt::SizeAllCursor);
    EXPECT_EQ(CursorKindFor(3), CursorKindFor(0));
    EXPECT_FALSE(CursorKindFor(18).has_value());
    // 201 and 202 are the application's own pictures, not stand-ins.
    for (int16_t n : {8, 9}) {
        const QCursor cursor = QtAppearance::CursorFor(*CursorKindFor(n));
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << n;
        EXPECT_FALSE(cursor.pixmap().isNull()) << n;
    }
}

TEST(AppearanceCursors, SettingACursorPutsItOnTheTargetAndRefusesUnknownNumbers) {
    QWidget widget;
    QtAppearance::SetCursorTarget(&widget);
    CAppearance::Get().SetThemeCursor(1003);
    EXPECT_EQ(widget.cursor().shape(), Qt::SizeVerCursor);
    ErrorCatcher errors;
    CAppearance::Get().SetThemeCursor(999);
    EXPECT_EQ(errors.sources, std::vector<std::string>{"CAppearance"});
    EXPECT_EQ(widget.cursor().shape(), Qt::SizeVerCursor);
    QtAppearance::SetCursorTarget(nullptr);
}

TEST(DrawingContext, NestedContextsDrawIntoTheInnermostAndThenTheOuterAgain) {
    QImage outer = WhiteImage(60, 60), inner = WhiteImage(60, 60);
    CAppearance& appearance = CAppearance::Get();
    {
        StDrawingContext outerContext(&outer, QPoint(10, 20));
        EXPECT_EQ(StDrawingContext::GetCurrent(), &outerContext);
        {
            StDrawingContext innerContext(&inner, QPoint(0, 0));
            EXPECT_EQ(StDrawingContext::CountContexts(), 2);
            appearance.FrameRectColor(MakeRect(5, 5, 10, 10), kColorRed);
        }
        EXPECT_EQ(StDrawingContext::GetCurrent(), &outerContext);
        appearance.FrameRectColor(MakeRect(5, 5, 10, 10), kColorBlue);
    }
    EXPECT_EQ(StDrawingContext::CountContexts(), 0);
    EXPECT_EQ(Pixel(inner, 5, 5), QColor(255, 0, 0));
    EXPECT_EQ(Pixel(inner, 14, 14), QColor(255, 0, 0));
    EXPECT_EQ(Pixel(inner, 15, 15), QColor(255, 255, 255));  // the frame stays inside
    // The outer image got the blue frame, moved by the outer origin.
    EXPECT_EQ(Pixel(outer, 15, 25), QColor(0, 0, 255));
    EXPECT_EQ(Pixel(outer, 5, 5), QColor(255, 255, 255));
}

TEST(DrawingContext, CoordinatesBeyond8192AreBroughtBack) {
    QImage image = WhiteImage(8200, 4);
    {
        StDrawingContext context(&image, QPoint(10000, 0));
        EXPECT_EQ(context.MapPoint(30000, 0), QPoint(8192, 0));
        EXPECT_EQ(context.MapPoint(-30000, -9000), QPoint(-8192, -8192));
        // From 40000 (30000 moved by the origin) the right edge lands on 8192.
        CAppearance::Get().FillRectTheme(Rect{0, int16_t(-9000), 4, 30000}, 48);
    }
    EXPECT_EQ(Pixel(image, 1000, 1), QColor(0, 255, 0));
    EXPECT_EQ(Pixel(image, 8191, 1), QColor(0, 255, 0));
    EXPECT_EQ(Pixel(image, 8192, 1), QColor(255, 255, 255));
}

TEST(DrawingContext, FontsFromTheTable) {
    QImage image = WhiteImage(10, 10);
    StDrawingContext context(&image);
    context.SetFont(kFontSystemSmall, -1, kFontStyleNormal);
    const QFont font = context.GetDeviceContext()->font();
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pointSize(), 8);
    EXPECT_EQ(font.weight(), QFont::Normal);
    context.SetFont(kFontCurrent, 12, kFontStyleBold);
    EXPECT_EQ(context.GetDeviceContext()->font().family(), "Arial");  // kind 0 keeps the current face
    EXPECT_EQ(context.GetDeviceContext()->font().pointSize(), 12);
    EXPECT_EQ(context.GetDeviceContext()->font().weight(), QFont::Bold);
    ErrorCatcher errors;
    context.SetFont(kFontCurrent, 0, 8);  // outline is not supported
    context.SetFont(2, 0, kFontStyleNormal);
    context.SetBackgroundMode(5);
    EXPECT_EQ(errors.sources.size(), 3u);
    EXPECT_EQ(context.GetDeviceContext()->font().pointSize(), 12);
}

TEST(DrawingContext, DrawingWithoutAnyContextIsAnErrorNotACrash) {
    ErrorCatcher errors;
    CAppearance::Get().FrameRectColor(MakeRect(0, 0, 5, 5), kColorRed);
    EXPECT_FALSE(errors.sources.empty());
}

TEST(AppearanceDrawing, ATextBoxTooNarrowForItsTextStaysInsideIt) {
    QImage image = WhiteImage(200, 40);
    const Rect box = MakeRect(10, 5, 60, 30);
    {
        StDrawingContext context(&image);
        context.SetFont(kFontSystemSmall, 12, kFontStyleNormal);
        CAppearance::Get().DrawTextBox("A rather long caption that cannot fit", box, kJustifyLeft, kTextColorBlack);
    }
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).lightness() > 128) continue;
            const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            (in ? inside : outside)++;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

TEST(AppearanceDrawing, ShadingDimsTowardWhiteAndFramesUseTheirColour) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        StDrawingContext context(&image);
        CAppearance::Get().ShadeRegion(QRegion(0, 0, 20, 40));
        CAppearance::Get().FrameRectColor(MakeRect(25, 5, 10, 10), kColorYellow);
    }
    const QColor shaded = Pixel(image, 10, 10);
    EXPECT_NEAR(shaded.red(), 128, 2);
    EXPECT_EQ(shaded.red(), shaded.blue());
    EXPECT_EQ(Pixel(image, 30, 30), QColor(0, 0, 0));
    EXPECT_EQ(Pixel(image, 25, 5), QColor(128, 128, 0));
    EXPECT_EQ(Pixel(image, 30, 10), QColor(0, 0, 0));  // frame only
}

TEST(AppearanceDrawing, HandlePicturesComeFromTheResources) {
    for (int16_t id = 2031; id <= 2038; ++id) {
        const QPixmap picture = QtAppearance::PictureResource(id);
        EXPECT_EQ(picture.size(), QSize(9, 9)) << id;
    }
    QImage image = WhiteImage(20, 20);
    {
        StDrawingContext context(&image);
        CAppearance::Get().DrawPictureResource(2031, MakeRect(2, 2, 9, 9), true);
    }
    EXPECT_EQ(Pixel(image, 6, 6), QColor(0, 0, 255));
}

TEST(EraseAttachments, ThePaneIsErasedBeforeItDraws) {
    QWidget pane;
    pane.resize(30, 20);
    QPalette palette = pane.palette();
    palette.setColor(QPalette::Window, QColor(10, 200, 30));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(200, 10, 30));
    pane.setPalette(palette);
    new CPixPatEraseAttachment(&pane);
    QImage image = WhiteImage(30, 20);
    pane.render(&image);
    EXPECT_EQ(Pixel(image, 15, 10), QColor(10, 200, 30));

    QWidget tabPane;
    tabPane.resize(30, 20);
    tabPane.setPalette(palette);
    new CPixPatEraseAttachmentForTabs(&tabPane);
    QImage tabImage = WhiteImage(30, 20);
    tabPane.render(&tabImage);
    EXPECT_EQ(Pixel(tabImage, 15, 10), QColor(200, 10, 30));
}

}  // namespace
