// The drawing layer checked on the pixels it draws: cursors, nested drawing
// contexts and their origins, the coordinate clamp, text boxes and the
// handle pictures; and the dark colour scheme.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "appearance/AppearanceTables.h"
#include "appearance/ColourScheme.h"
#include "appearance/CAppearance.h"
#include "appearance/QtAppearance.h"
#include "appearance/StDrawingContext.h"

namespace {

QImage Filled(int w, int h, Qt::GlobalColor colour = Qt::white) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(AppearanceCursors, SettingACursorPutsItOnTheTarget) {
    // The application's own cursors are its pictures, not stand-ins.
    for (int16_t n : {8, 9}) EXPECT_FALSE(QtAppearance::CursorFor(*CursorKindFor(n)).pixmap().isNull()) << n;
    QWidget widget;
    QtAppearance::SetCursorTarget(&widget);
    CAppearance::Get().SetThemeCursor(1003);
    EXPECT_EQ(widget.cursor().shape(), Qt::SizeVerCursor);
    QtAppearance::SetCursorTarget(nullptr);
}

TEST(DrawingContext, NestedContextsDrawIntoTheInnermostAndThenTheOuterAgain) {
    QImage outer = Filled(60, 60), inner = Filled(60, 60);
    {
        StDrawingContext outerContext(&outer, QPoint(10, 20));
        {
            StDrawingContext innerContext(&inner, QPoint(0, 0));
            CAppearance::Get().FrameRectColor(MakeRect(5, 5, 10, 10), kColorRed);
        }
        EXPECT_EQ(StDrawingContext::GetCurrent(), &outerContext);
        CAppearance::Get().FrameRectColor(MakeRect(5, 5, 10, 10), kColorBlue);
    }
    EXPECT_EQ(StDrawingContext::CountContexts(), 0);
    EXPECT_EQ(inner.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(inner.pixelColor(14, 14), QColor(255, 0, 0));
    EXPECT_EQ(inner.pixelColor(15, 15), QColor(255, 255, 255));  // the frame stays inside
    EXPECT_EQ(outer.pixelColor(15, 25), QColor(0, 0, 255));      // moved by the outer origin
    EXPECT_EQ(outer.pixelColor(5, 5), QColor(255, 255, 255));
}

TEST(DrawingContext, CoordinatesBeyond8192AreBroughtBack) {
    QImage image = Filled(8200, 4);
    {
        StDrawingContext context(&image, QPoint(10000, 0));
        EXPECT_EQ(context.MapPoint(30000, 0), QPoint(8192, 0));
        EXPECT_EQ(context.MapPoint(-30000, -9000), QPoint(-8192, -8192));
        // From 40000 (30000 moved by the origin) the right edge lands on 8192.
        CAppearance::Get().FillRectTheme(Rect{0, int16_t(-9000), 4, 30000}, 48);
        context.SetFont(kFontCurrent, 12, kFontStyleBold);
        EXPECT_EQ(context.GetDeviceContext()->font().pointSize(), 12);
    }
    EXPECT_EQ(image.pixelColor(1000, 1), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(8191, 1), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(8192, 1), QColor(255, 255, 255));
}

TEST(AppearanceDrawing, TextStaysInItsBoxAndHandlesHaveTheirColours) {
    QImage image = Filled(200, 40);
    const Rect box = MakeRect(10, 5, 60, 30);
    {
        StDrawingContext context(&image);
        context.SetFont(kFontSystemSmall, 12, kFontStyleNormal);
        CAppearance::Get().DrawTextBox("A rather long caption that cannot fit", box, kJustifyLeft, kTextColorBlack);
    }
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).lightness() <= 128)
                (x >= box.left && x < box.right && y >= box.top && y < box.bottom ? inside : outside)++;
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);

    QImage dark = Filled(40, 40, Qt::black);
    {
        StDrawingContext context(&dark);
        CAppearance::Get().DrawPictureResource(2031, MakeRect(22, 22, 9, 9), true);
    }
    EXPECT_EQ(dark.pixelColor(26, 26), QColor(0, 0, 255));
}

// A dark desktop speaks through the program's own variable or a GTK
// theme's dark variant; the program then puts on its dark palette.
TEST(ColourScheme, ADarkPreferenceGivesTheDarkPalette) {
    struct Case {
        const char* own;
        const char* gtk;
        ColourScheme expected;
    };
    for (const Case& c : {Case{nullptr, "Adwaita:dark", ColourScheme::Dark}, Case{nullptr, "Arc-Dark", ColourScheme::Dark},
                          Case{nullptr, "Adwaita", ColourScheme::Light}, Case{"light", "Adwaita:dark", ColourScheme::Light},
                          Case{"dark", nullptr, ColourScheme::Dark}}) {
        c.own ? qputenv("MOVELARK_COLOR_SCHEME", c.own) : qunsetenv("MOVELARK_COLOR_SCHEME");
        c.gtk ? qputenv("GTK_THEME", c.gtk) : qunsetenv("GTK_THEME");
        EXPECT_EQ(RequestedColourScheme(), c.expected) << (c.own ? c.own : "") << " " << (c.gtk ? c.gtk : "");
    }
    const QPalette before = QApplication::palette();
    ASSERT_FALSE(IsDarkPalette(before));
    FollowDesktopColourScheme();  // the last case asked for dark
    EXPECT_TRUE(IsDarkPalette(QApplication::palette()));
    QApplication::setPalette(before);
    qunsetenv("MOVELARK_COLOR_SCHEME");
    qunsetenv("GTK_THEME");
}

}  // namespace
