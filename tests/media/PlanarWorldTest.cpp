// The YUV 4:2:0 frame buffer and its colours.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/media/OffscreenWorld.h"

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

}  // namespace
