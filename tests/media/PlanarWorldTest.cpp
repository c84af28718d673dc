// The YUV 4:2:0 frame buffer and the watermark blended over it.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/media/OffscreenWorld.h"
#include "platform/media/image/PlanarOverlay.h"

namespace {

uint8_t At(const OffscreenWorld& w, int plane, int x, int y) {
    return w.Plane(plane)[size_t(y) * w.PlaneStride(plane) + x];
}

using Ints = std::vector<int>;

// The samples at (plane, x, y) points.
Ints Samples(const OffscreenWorld& w, std::initializer_list<std::array<int, 3>> points) {
    Ints out;
    for (auto [plane, x, y] : points) out.push_back(At(w, plane, x, y));
    return out;
}

std::array<int, 3> Yuv(const OffscreenWorld& w, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t yuv[3];
    w.ToYuv(r, g, b, yuv);
    return {yuv[0], yuv[1], yuv[2]};
}

TEST(PlanarWorld, OddSizesRoundTheColourPlanesUpAndColoursFollowTheMatrix) {
    OffscreenWorld w(7, 5, OffscreenWorld::Format::YUV420P);
    EXPECT_TRUE(w.IsPlanar());
    EXPECT_EQ(w.PlaneCount(), 3);
    EXPECT_EQ(std::pair(w.PlaneWidth(1), w.PlaneHeight(2)), std::pair(4, 3));
    // Each plane starts after the whole of the one before it.
    EXPECT_GE(w.Plane(1), w.Plane(0) + size_t(w.PlaneStride(0)) * 5);
    EXPECT_GE(w.Plane(2), w.Plane(1) + size_t(w.PlaneStride(1)) * 3);
    w.Fill(255, 255, 255);
    EXPECT_EQ(Samples(w, {{0, 6, 4}, {1, 3, 2}, {2, 3, 2}}), (Ints{235, 128, 128}));
    EXPECT_EQ(Yuv(w, 0, 0, 0), (std::array<int, 3>{16, 128, 128}));
    EXPECT_EQ(Yuv(w, 255, 0, 0), (std::array<int, 3>{81, 90, 240}));  // BT.601 red
    w.SetColour(ColourDescription::Bt709());
    EXPECT_EQ(Yuv(w, 255, 0, 0), (std::array<int, 3>{63, 102, 240}));
    w.Allocate(7, 5, OffscreenWorld::Format::RGB24);  // as RGB: the colour planes go
    EXPECT_EQ(w.PlaneCount(), 1);
    EXPECT_EQ(w.Plane(0), w.Pixels());
}

// An RGBA picture the frame's size with a premultiplied square in it.
OffscreenWorld Picture(int width, int height, int left, int top, int size, uint8_t r, uint8_t g, uint8_t b,
                       uint8_t a) {
    OffscreenWorld p(width, height, OffscreenWorld::Format::RGBA32);
    p.Fill(0, 0, 0, 0);
    for (int y = top; y < top + size; ++y)
        for (int x = left; x < left + size; ++x) {
            uint8_t* px = p.Row(y) + x * 4;
            px[0] = uint8_t(r * a / 255), px[1] = uint8_t(g * a / 255), px[2] = uint8_t(b * a / 255), px[3] = a;
        }
    return p;
}

TEST(PlanarOverlay, BlendsByAlphaOnlyWhereThePictureCovers) {
    OffscreenWorld frame(16, 16, OffscreenWorld::Format::YUV420P);
    frame.Fill(0, 0, 0);
    PlanarOverlay overlay;
    overlay.Prepare(Picture(16, 16, 4, 4, 4, 255, 255, 255, 128), ColourDescription::Bt601());
    ASSERT_FALSE(overlay.IsEmpty());
    overlay.BlendInto(frame);
    EXPECT_NEAR(At(frame, 0, 5, 5), (235 * 128 + 16 * 127 + 127) / 255, 1);  // half white over black
    EXPECT_EQ(At(frame, 0, 3, 5) + At(frame, 0, 8, 8), 32);
    EXPECT_EQ(At(frame, 1, 2, 2), 128);  // grey over grey: no colour
    // Opaque red: exactly red's YUV in all three planes.
    frame.Fill(0, 0, 0);
    overlay.Prepare(Picture(16, 16, 8, 8, 4, 255, 0, 0, 255), ColourDescription::Bt601());
    overlay.BlendInto(frame);
    EXPECT_EQ(Samples(frame, {{0, 9, 9}, {1, 4, 4}, {2, 5, 5}}), (Ints{81, 90, 240}));
    EXPECT_EQ(At(frame, 2, 3, 3), 128);
    // An odd column: the 2 x 2 block at chroma (1, 1) is half covered and
    // takes the mean alpha.
    OffscreenWorld small(8, 8, OffscreenWorld::Format::YUV420P);
    small.Fill(0, 0, 0);
    overlay.Prepare(Picture(8, 8, 3, 2, 2, 255, 0, 0, 255), ColourDescription::Bt601());
    overlay.BlendInto(small);
    EXPECT_EQ(At(small, 2, 1, 1), (240 * 2 + 128 * 2) / 4);
    EXPECT_EQ(At(small, 2, 2, 1), (240 * 2 + 128 * 2) / 4);
    EXPECT_EQ(Samples(small, {{0, 2, 2}, {0, 3, 2}}), (Ints{16, 81}));
}

}  // namespace
