// The preview's arithmetic on its own: fitting, handle hits and the rules a
// crop rectangle follows while it is dragged.
#include <gtest/gtest.h>

#include "preview/PreviewGeometry.h"

namespace {

TEST(PreviewFit, AWidePictureShrinksToTheFrameWidthLessTheMargins) {
    const FitResult fit = FitPictureInFrame(640, 480, 300, 300);
    EXPECT_EQ(fit.width, 282);
    EXPECT_EQ(fit.height, 211);  // 480 x 282 / 640, truncated
    EXPECT_DOUBLE_EQ(fit.scale, 282.0 / 640.0);
}

TEST(PreviewFit, ATallPictureShrinksToTheFrameHeight) {
    const FitResult fit = FitPictureInFrame(480, 640, 300, 300);
    EXPECT_EQ(fit.height, 282);
    EXPECT_EQ(fit.width, 211);
    EXPECT_DOUBLE_EQ(fit.scale, 282.0 / 640.0);
}

TEST(PreviewFit, APictureTooBigOneWayOnlyStillShrinks) {
    // Narrow enough, too tall: the height rules (w/h 0.5 <= 400/100).
    const FitResult fit = FitPictureInFrame(100, 200, 400, 100);
    EXPECT_EQ(fit.height, 82);
    EXPECT_EQ(fit.width, 41);
}

TEST(PreviewFit, APictureThatFitsKeepsItsSize) {
    const FitResult fit = FitPictureInFrame(200, 100, 300, 300);
    EXPECT_EQ(fit.width, 200);
    EXPECT_EQ(fit.height, 100);
    EXPECT_DOUBLE_EQ(fit.scale, 1.0);
}

// Crop (100, 50)-(300, 250) at zoom 1: edges at 109, 59, 309, 259.
const CropRect kCrop{100, 50, 300, 250};

TEST(CropHitTest, HandlesAreFoundInTheirOrder) {
    EXPECT_EQ(CropHitTest(kCrop, {109, 59}, 1.0, true), kHitLeft | kHitTop);
    EXPECT_EQ(CropHitTest(kCrop, {309, 59}, 1.0, true), kHitTop | kHitRight);
    EXPECT_EQ(CropHitTest(kCrop, {309, 259}, 1.0, true), kHitRight | kHitBottom);
    EXPECT_EQ(CropHitTest(kCrop, {109, 259}, 1.0, true), kHitLeft | kHitBottom);
    EXPECT_EQ(CropHitTest(kCrop, {209, 59}, 1.0, true), kHitTop);
    EXPECT_EQ(CropHitTest(kCrop, {209, 259}, 1.0, true), kHitBottom);
    EXPECT_EQ(CropHitTest(kCrop, {109, 159}, 1.0, true), kHitLeft);
    EXPECT_EQ(CropHitTest(kCrop, {309, 159}, 1.0, true), kHitRight);
}

TEST(CropHitTest, HandleSquaresLeanInwardOnTheRightAndBottom) {
    // -5..+4 around a left/top handle point, -4..+5 on the right/bottom.
    EXPECT_EQ(CropHitTest(kCrop, {104, 159}, 1.0, true), kHitLeft);
    EXPECT_EQ(CropHitTest(kCrop, {103, 159}, 1.0, true), kHitNone);
    EXPECT_EQ(CropHitTest(kCrop, {313, 159}, 1.0, true), kHitRight);
    EXPECT_EQ(CropHitTest(kCrop, {314, 159}, 1.0, true), kHitNone);
    EXPECT_EQ(CropHitTest(kCrop, {209, 263}, 1.0, true), kHitBottom);
    EXPECT_EQ(CropHitTest(kCrop, {209, 264}, 1.0, true), kHitNone);
}

TEST(CropHitTest, CornersOnlyWithAFreeAspectRatio) {
    EXPECT_EQ(CropHitTest(kCrop, {109, 59}, 1.0, false), kHitMove);
    EXPECT_EQ(CropHitTest(kCrop, {209, 59}, 1.0, false), kHitTop);
}

TEST(CropHitTest, InsideMovesOutsideMissesAndZoomScales) {
    EXPECT_EQ(CropHitTest(kCrop, {200, 150}, 1.0, true), kHitMove);
    EXPECT_EQ(CropHitTest(kCrop, {310, 158}, 1.0, true), kHitRight);  // within the handle
    EXPECT_EQ(CropHitTest(kCrop, {309, 120}, 1.0, true), kHitMove);   // the edge line itself
    EXPECT_EQ(CropHitTest(kCrop, {200, 300}, 1.0, true), kHitNone);
    // At 50 % the right edge lies at 150 + 9.
    EXPECT_EQ(CropHitTest(kCrop, {159, 84}, 0.5, true), kHitRight);
    EXPECT_EQ(CropHitTest(kCrop, {309, 159}, 0.5, true), kHitNone);
}

TEST(CropDrag, EdgesStopFourPixelsFromTheOppositeEdge) {
    const CropRect r = DragCropRect(kCrop, kHitRight, -500, 0, 640, 480, 0.0);
    EXPECT_EQ(r, (CropRect{100, 50, 104, 250}));
    const CropRect t = DragCropRect(kCrop, kHitTop, 0, 900, 640, 480, 0.0);
    EXPECT_EQ(t, (CropRect{100, 246, 300, 250}));
    const CropRect corner = DragCropRect(kCrop, kHitLeft | kHitBottom, 400, -400, 640, 480, 0.0);
    EXPECT_EQ(corner, (CropRect{296, 50, 300, 54}));
}

TEST(CropDrag, EdgesAreClampedToThePicture) {
    EXPECT_EQ(DragCropRect(kCrop, kHitLeft | kHitTop, -500, -500, 640, 480, 0.0), (CropRect{0, 0, 300, 250}));
    EXPECT_EQ(DragCropRect(kCrop, kHitRight, 1000, 0, 640, 480, 0.0), (CropRect{100, 50, 640, 250}));
}

TEST(CropDrag, ALockedRatioWidensWithTheHeightAndIsPushedBackFromTheRight) {
    const CropRect start{440, 100, 640, 200};  // 200 x 100 at ratio 2
    const CropRect r = DragCropRect(start, kHitBottom, 0, 10, 640, 480, 2.0);
    EXPECT_EQ(r, (CropRect{420, 100, 640, 210}));
    EXPECT_EQ(r.Width(), start.Width() + 20);
}

TEST(CropDrag, ALockedRatioFollowsTheWidthForSideEdges) {
    const CropRect start{100, 100, 300, 200};
    EXPECT_EQ(DragCropRect(start, kHitRight, 30, 0, 640, 480, 2.0), (CropRect{100, 100, 330, 215}));
    // At the bottom the rectangle moves up to make room.
    const CropRect low{100, 380, 300, 480};
    EXPECT_EQ(DragCropRect(low, kHitRight, 30, 0, 640, 480, 2.0), (CropRect{100, 365, 330, 480}));
}

TEST(CropDrag, ALockedRatioThatCannotFitIsRefused) {
    // Tall enough to need more width than the picture has.
    const CropRect start{0, 0, 600, 300};
    EXPECT_EQ(DragCropRect(start, kHitBottom, 0, 100, 640, 480, 2.0), start);
}

TEST(CropDrag, MovingALockedRectanglePastTheEdgeDoesNotMoveIt) {
    const CropRect start{500, 100, 600, 150};
    EXPECT_EQ(DragCropRect(start, kHitMove, 60, 0, 640, 480, 2.0), start);
    EXPECT_EQ(DragCropRect(start, kHitMove, 40, 0, 640, 480, 2.0), (CropRect{540, 100, 640, 150}));
}

TEST(CropDrag, MovingAFreeRectanglePastTheEdgeCutsItButKeepsFourPixelsInside) {
    const CropRect start{500, 100, 600, 150};
    EXPECT_EQ(DragCropRect(start, kHitMove, 60, 0, 640, 480, 0.0), (CropRect{560, 100, 640, 150}));
    EXPECT_EQ(DragCropRect(start, kHitMove, 500, 0, 640, 480, 0.0), (CropRect{636, 100, 640, 150}));
    EXPECT_EQ(DragCropRect(start, kHitMove, -900, -900, 640, 480, 0.0), (CropRect{0, 0, 4, 4}));
}

TEST(CropCursor, EachHitHasItsSizingCursor) {
    EXPECT_EQ(CursorForCropHit(kHitNone), 0);
    EXPECT_EQ(CursorForCropHit(kHitLeft | kHitTop), 1000);
    EXPECT_EQ(CursorForCropHit(kHitRight | kHitBottom), 1000);
    EXPECT_EQ(CursorForCropHit(kHitTop | kHitRight), 1001);
    EXPECT_EQ(CursorForCropHit(kHitLeft | kHitBottom), 1001);
    EXPECT_EQ(CursorForCropHit(kHitLeft), 1002);
    EXPECT_EQ(CursorForCropHit(kHitBottom), 1003);
    EXPECT_EQ(CursorForCropHit(kHitMove), 1004);
}

}  // namespace
