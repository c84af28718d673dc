// The preview's arithmetic on its own: fitting, handle hits and the rules a
// crop rectangle follows while it is dragged.
#include <gtest/gtest.h>

#include "preview/PreviewGeometry.h"

namespace {

TEST(PreviewFit, PicturesShrinkToTheFrameLessTheMarginsOrKeepTheirSize) {
    // Picture, frame, fitted size (the other side truncated).
    const std::tuple<QSize, QSize, QSize> cases[] = {{{480, 640}, {300, 300}, {211, 282}},
                                                     {{100, 200}, {400, 100}, {41, 82}},  // too big one way only
                                                     {{200, 100}, {300, 300}, {200, 100}}};
    for (const auto& [picture, frame, fitted] : cases) {
        const FitResult fit = FitPictureInFrame(picture.width(), picture.height(), frame.width(), frame.height());
        EXPECT_EQ(QSize(fit.width, fit.height), fitted) << picture.width() << "x" << picture.height();
        EXPECT_DOUBLE_EQ(fit.scale, std::max(double(fitted.width()) / picture.width(),
                                             double(fitted.height()) / picture.height()));
    }
}

// Crop (100, 50)-(300, 250) at zoom 1: edges at 109, 59, 309, 259.
const CropRect kCrop{100, 50, 300, 250};

TEST(CropHitTest, HandlesEdgesInsideAndOutside) {
    // Point, zoom, free aspect, what it hits. Handle squares run -5..+4
    // around a left/top handle point, -4..+5 on the right/bottom.
    const std::tuple<QPoint, double, bool, int> cases[] = {
        {{109, 59}, 1, true, kHitLeft | kHitTop},      {{309, 59}, 1, true, kHitTop | kHitRight},
        {{309, 259}, 1, true, kHitRight | kHitBottom}, {{109, 259}, 1, true, kHitLeft | kHitBottom},
        {{209, 59}, 1, true, kHitTop},                 {{209, 259}, 1, true, kHitBottom},
        {{109, 159}, 1, true, kHitLeft},               {{309, 159}, 1, true, kHitRight},
        {{104, 159}, 1, true, kHitLeft},               {{103, 159}, 1, true, kHitNone},
        {{313, 159}, 1, true, kHitRight},              {{314, 159}, 1, true, kHitNone},
        {{109, 59}, 1, false, kHitMove},  // corners only with a free aspect ratio
        {{209, 59}, 1, false, kHitTop},                {{200, 150}, 1, true, kHitMove},
        {{310, 158}, 1, true, kHitRight},              {{309, 120}, 1, true, kHitMove},  // the edge line itself
        {{200, 300}, 1, true, kHitNone},               {{159, 84}, 0.5, true, kHitRight},  // at 50 % the edge is 150 + 9
        {{309, 159}, 0.5, true, kHitNone}};
    for (const auto& [point, zoom, free, hit] : cases)
        EXPECT_EQ(CropHitTest(kCrop, point, zoom, free), hit) << point.x() << "," << point.y() << " at " << zoom;
}

TEST(CropDrag, EdgesStopFourPixelsApartStayInThePictureAndKeepALockedRatio) {
    // Start, handle, movement, ratio (0: free), result.
    const std::tuple<CropRect, int, QPoint, double, CropRect> cases[] = {
        {kCrop, kHitRight, {-500, 0}, 0, {100, 50, 104, 250}},
        {kCrop, kHitLeft | kHitBottom, {400, -400}, 0, {296, 50, 300, 54}},
        {kCrop, kHitLeft | kHitTop, {-500, -500}, 0, {0, 0, 300, 250}},
        {kCrop, kHitRight, {1000, 0}, 0, {100, 50, 640, 250}},
        // A locked ratio widens with the height and is pushed back from the right ...
        {{440, 100, 640, 200}, kHitBottom, {0, 10}, 2, {420, 100, 640, 210}},
        // ... follows the width for side edges, moving up at the bottom ...
        {{100, 100, 300, 200}, kHitRight, {30, 0}, 2, {100, 100, 330, 215}},
        {{100, 380, 300, 480}, kHitRight, {30, 0}, 2, {100, 365, 330, 480}},
        // ... and is refused when it cannot fit.
        {{0, 0, 600, 300}, kHitBottom, {0, 100}, 2, {0, 0, 600, 300}},
        // Moving: a locked rectangle does not pass the edge, a free one is
        // cut there but keeps four pixels inside.
        {{500, 100, 600, 150}, kHitMove, {60, 0}, 2, {500, 100, 600, 150}},
        {{500, 100, 600, 150}, kHitMove, {40, 0}, 2, {540, 100, 640, 150}},
        {{500, 100, 600, 150}, kHitMove, {60, 0}, 0, {560, 100, 640, 150}},
        {{500, 100, 600, 150}, kHitMove, {500, 0}, 0, {636, 100, 640, 150}},
        {{500, 100, 600, 150}, kHitMove, {-900, -900}, 0, {0, 0, 4, 4}}};
    for (const auto& [start, hit, by, ratio, result] : cases)
        EXPECT_EQ(DragCropRect(start, hit, by.x(), by.y(), 640, 480, ratio), result)
            << "hit " << hit << " by " << by.x() << "," << by.y() << " ratio " << ratio;
}

}  // namespace
