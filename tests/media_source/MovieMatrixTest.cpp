// The 3 x 3 movie matrix: the job's turns and flips, rect mapping,
// inversion, and taking a matrix apart into flips, turns and scales.
#include <gtest/gtest.h>

#include "platform/media/source/MovieMatrix.h"

namespace {

void ExpectPoint(const MovieMatrix& m, MoviePoint in, MoviePoint expected) {
    const MoviePoint out = m.MapPoint(in);
    EXPECT_NEAR(out.x, expected.x, 1e-9) << "from (" << in.x << ", " << in.y << ")";
    EXPECT_NEAR(out.y, expected.y, 1e-9) << "from (" << in.x << ", " << in.y << ")";
}

// The compression job's transform for a W x H movie: flips, a rotation
// followed by the translation that brings the picture back to (0, 0).
MovieMatrix JobMatrix(double w, double h, bool flipH, bool flipV, int rotation) {
    MovieMatrix m;
    if (flipH) m.FlipHorizontal(w);
    if (flipV) m.FlipVertical(h);
    if (rotation) m.Rotate(rotation);
    const double shift[4][2] = {{0, 0}, {h, 0}, {w, h}, {0, w}};
    m.Translate(shift[rotation / 90][0], shift[rotation / 90][1]);
    return m;
}

TEST(MovieMatrix, TurnsAreClockwiseOnScreenExactAndFlipsMirrorInsideThePicture) {
    // 320 x 240 turned 90 degrees and moved by (240, 0): the top-left corner
    // lands top-right, the picture fills 240 x 320.
    const MovieMatrix m = JobMatrix(320, 240, false, false, 90);
    ExpectPoint(m, {0, 0}, {240, 0});
    ExpectPoint(m, {320, 0}, {240, 320});
    ExpectPoint(m, {0, 240}, {0, 0});
    EXPECT_EQ(m.At(0, 0), 0.0);  // no rounding residue from cos(90)
    for (int rotation : {90, 180, 270})
        EXPECT_EQ(JobMatrix(320, 240, false, false, rotation).MapRect(MovieRect::OfSize(320, 240)),
                  rotation == 180 ? MovieRect::OfSize(320, 240) : MovieRect::OfSize(240, 320));
    ExpectPoint(JobMatrix(320, 240, false, false, 270), {0, 0}, {0, 320});
    ExpectPoint(JobMatrix(100, 50, true, false, 0), {10, 5}, {90, 5});
    ExpectPoint(JobMatrix(100, 50, false, true, 0), {10, 5}, {10, 45});
    ExpectPoint(JobMatrix(100, 50, true, true, 0), {10, 5}, {90, 45});
}

TEST(MovieMatrix, RectMatrixConcatAndInverse) {
    const MovieMatrix r = MovieMatrix::RectMatrix(MovieRect::Make(10, 20, 110, 70), MovieRect::Make(0, 0, 50, 100));
    ExpectPoint(r, {10, 20}, {0, 0});
    ExpectPoint(r, {110, 70}, {50, 100});
    ExpectPoint(r, {60, 45}, {25, 50});
    MovieMatrix scale, move;
    scale.Scale(2, 3);
    move.Translate(10, 0);
    ExpectPoint(MovieMatrix::Concat(scale, move), {1, 1}, {12, 3});  // the first matrix first
    ExpectPoint(MovieMatrix::Concat(move, scale), {1, 1}, {22, 3});
    MovieMatrix m = JobMatrix(320, 240, true, false, 270);
    m.Concat(MovieMatrix::RectMatrix(MovieRect::OfSize(240, 320), MovieRect::OfSize(120, 80)));
    MovieMatrix inverse;
    ASSERT_TRUE(m.Invert(inverse));
    EXPECT_TRUE(MovieMatrix::Concat(m, inverse).IsIdentity());
    MovieMatrix flat;
    flat.Scale(0, 1);
    EXPECT_FALSE(flat.Invert(inverse));
}

TEST(MovieMatrix, DecomposeRecoversEveryOrientation) {
    // Every flip/rotation combination the document can ask for, with a
    // scaling after it, comes apart into steps that rebuild the matrix.
    for (int flips = 0; flips < 4; ++flips)
        for (int rotation : {0, 90, 180, 270}) {
            MovieMatrix m = JobMatrix(320, 240, flips & 1, flips & 2, rotation);
            const MovieRect mapped = m.MapRect(MovieRect::OfSize(320, 240));
            m.Concat(MovieMatrix::RectMatrix(mapped, MovieRect::Make(5, 7, 5 + 0.5 * mapped.Width(),
                                                                         7 + 2 * mapped.Height())));
            const MatrixParts parts = m.Decompose();
            ASSERT_TRUE(parts.valid);
            MovieMatrix rebuilt;
            rebuilt.Scale(parts.scaleX, parts.scaleY);
            if (parts.mirrored) rebuilt.Scale(-1, 1);
            rebuilt.Rotate(90.0 * parts.quarterTurns);
            rebuilt.Translate(parts.translateX, parts.translateY);
            EXPECT_TRUE(rebuilt.NearlyEquals(m, 1e-9)) << "flips " << flips << " rotation " << rotation;
            EXPECT_EQ(parts.SwapsAxes(), rotation % 180 != 0);
        }
    EXPECT_EQ(JobMatrix(10, 10, true, true, 0).Decompose().Orientation(), 2);  // both flips = half turn
    const MatrixParts h = JobMatrix(10, 10, true, false, 0).Decompose();
    EXPECT_TRUE(h.mirrored && h.quarterTurns == 0);
    const MatrixParts v = JobMatrix(10, 10, false, true, 0).Decompose();
    EXPECT_TRUE(v.mirrored && v.quarterTurns == 2);  // mirror left-right, then half a turn
    MovieMatrix tilted, skew;
    tilted.Rotate(30);
    skew.Set(1, 0, 0.5);
    EXPECT_FALSE(tilted.Decompose().valid);
    EXPECT_FALSE(skew.Decompose().valid);
}

}  // namespace
