// Pictures from files: placing them in a frame, reading the common still
// formats, refusing what is not a picture or claims an absurd size, and
// drawing with alpha, scaled and clipped, or as a placeholder.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include "platform/media/image/ImageFileReader.h"
#include "platform/media/image/PictureLayout.h"
#include "support/Pictures.h"
#include "support/TestSupport.h"

using namespace pictures;
using namespace testsupport;

namespace {

fs::path HalfRedPNG() {
    return FixtureMovie("effects_red_half.png", "-f lavfi -i color=red@0.5:s=40x20,format=rgba -frames:v 1");
}

long PeakMemoryKB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(PictureLayout, FitShrinksKeepingAspect) {
    const Rect box = MakeRect(0, 0, 100, 100);
    const std::pair<Rect, Rect> fits[] = {
        {MakeRect(0, 0, 400, 200), MakeRect(0, 25, 100, 50)},  {MakeRect(0, 0, 100, 400), MakeRect(38, 0, 25, 100)},
        {MakeRect(0, 0, 60, 40), MakeRect(20, 30, 60, 40)},    {MakeRect(0, 0, 61, 40), MakeRect(20, 30, 61, 40)},
        {MakeRect(0, 0, 100, 100), box},                       {MakeRect(0, 0, 1000, 3), MakeRect(0, 50, 100, 0)}};
    for (const auto& [picture, fitted] : fits) EXPECT_EQ(FitPictureInBox(picture, box), fitted);  // halves round up
    EXPECT_EQ(FitPictureInBox(MakeRect(5, 7, 300, 90), MakeRect(10, 20, 150, 60)), MakeRect(10, 28, 150, 45));
}

TEST(ImageFileReader, ReadsCommonStillFormatsWithAlpha) {
    ImageFileReader png(Spec(HalfRedPNG()));
    ASSERT_TRUE(png.HasImporter()) << png.OpenError();
    EXPECT_EQ(png.NaturalBounds(), MakeRect(0, 0, 40, 20));
    EXPECT_EQ(png.ImportMode(), 1);
    EXPECT_EQ(std::pair(At(png.Picture(), 5, 5).r, At(png.Picture(), 5, 5).g), std::pair(255, 0));
    EXPECT_NEAR(AlphaAt(png.Picture(), 39, 19), 128, 1);
    for (auto [extension, tolerance] : {std::pair{"jpg", 12}, {"bmp", 0}, {"gif", 24}, {"tiff", 0}, {"png", 0}}) {
        const fs::path file = FixtureMovie(std::string("effects_rgb_blue.") + extension,
                                           "-f lavfi -i color=0x2050C0:s=36x28,format=rgb24 -frames:v 1");
        ImageFileReader reader(Spec(file), 5);
        ASSERT_TRUE(reader.HasImporter()) << extension << ": " << reader.OpenError();
        EXPECT_EQ(reader.NaturalBounds(), MakeRect(0, 0, 36, 28)) << extension;
        EXPECT_EQ(reader.ImportMode(), 5);
        const Pixel p = At(reader.Picture(), 18, 14);
        EXPECT_NEAR(p.r, 0x20, tolerance) << extension;
        EXPECT_NEAR(p.g, 0x50, tolerance) << extension;
        EXPECT_NEAR(p.b, 0xC0, tolerance) << extension;
        EXPECT_EQ(AlphaAt(reader.Picture(), 18, 14), 255) << extension;
    }
    // Names with percent signs and blanks are just names.
    EXPECT_TRUE(ImageFileReader(Spec(ScratchCopy(HalfRedPNG(), "50% off #1 (final).png"))).HasImporter());
}

TEST(ImageFileReader, WhatIsNotAPictureOrClaimsAnAbsurdSizeHasNoImporter) {
    const fs::path dir = ScratchDir();
    WriteBytes(dir / "notes.txt", "just some text, not a picture\n");
    WriteBytes(dir / "fake.png", "this is not a png either");
    WriteBytes(dir / "empty.png", "");
    WriteBytes(dir / "cut.png", ReadBytes(HalfRedPNG()).substr(0, ReadBytes(HalfRedPNG()).size() / 2));
    WriteBytes(dir / "huge.png", ClaimedPNG(60000, 60000));
    WriteBytes(dir / "wide.png", ClaimedPNG(70000, 1));
    const fs::path movie = FixtureMovie("effects_clip.mov", "-f lavfi -i testsrc=s=64x48:d=0.2 -c:v mjpeg");
    const fs::path tooWide = FixtureMovie("effects_too_wide.png", "-f lavfi -i color=white:s=16400x2 -frames:v 1");
    const long before = PeakMemoryKB();
    for (const fs::path& file : {dir / "notes.txt", dir / "fake.png", dir / "empty.png", dir / "cut.png",
                                 dir / "missing.png", movie, dir / "huge.png", dir / "wide.png", tooWide}) {
        ImageFileReader reader(Spec(file));
        EXPECT_FALSE(reader.HasImporter()) << file;
        EXPECT_TRUE(reader.NaturalBounds().IsEmpty()) << file;
        EXPECT_FALSE(reader.OpenError().empty()) << file;
    }
    EXPECT_LT(PeakMemoryKB() - before, 64 * 1024);  // refused without allocating
    EXPECT_FALSE(ImageFileReader{FSSpec()}.HasImporter());
}

TEST(ImageFileReader, WatermarkBlendsWithItsAlphaAtItsPlace) {
    ImageFileReader reader(Spec(HalfRedPNG()));
    ASSERT_TRUE(reader.HasImporter());
    const int alpha = AlphaAt(reader.Picture(), 0, 0);
    OffscreenWorld frame(100, 60);
    frame.Fill(0, 0, 255);
    reader.SetDrawingWorld(&frame);
    reader.SetDestRect(MakeRect(60, 40, 40, 20));  // the bottom-right corner
    reader.SetGraphicsMode(kGraphicsModePreWhiteAlpha);
    reader.Draw();
    const Pixel inside = At(frame, 70, 50);
    EXPECT_EQ(inside.r, (255 * alpha + 127) / 255);
    EXPECT_EQ(inside.g, 0);
    EXPECT_EQ(inside.b, (255 * (255 - alpha) + 127) / 255);
    EXPECT_EQ(At(frame, 60, 40).r, inside.r);  // the placed rectangle's corners
    EXPECT_EQ(At(frame, 99, 59).r, inside.r);
    EXPECT_EQ(At(frame, 59, 50).r, 0);
    EXPECT_EQ(At(frame, 70, 39).b, 255);
    reader.SetGraphicsMode(kGraphicsModeCopy);
    reader.Draw();
    EXPECT_EQ(std::pair(At(frame, 70, 50).r, At(frame, 70, 50).b), std::pair(255, 0));
}

TEST(ImageFileReader, DrawsScaledAndClippedAndNotBeyondAnyPicture) {
    ImageFileReader reader(Spec(HalfRedPNG()));
    ASSERT_TRUE(reader.HasImporter());
    OffscreenWorld world(64, 64, OffscreenWorld::Format::RGBA32);
    world.Fill(0, 255, 0, 255);
    reader.SetDrawingWorld(&world);
    reader.SetDestRect(MakeRect(-10, 4, 80, 40));  // twice the size, hanging off the left
    reader.SetClipRect(MakeRect(0, 0, 64, 30));
    reader.SetGraphicsMode(kGraphicsModePreWhiteAlpha);
    reader.Draw();
    EXPECT_EQ(At(world, 0, 4).r, At(world, 63, 29).r);
    EXPECT_GT(At(world, 63, 29).r, 100);
    EXPECT_LT(At(world, 63, 29).g, 160);
    EXPECT_EQ(AlphaAt(world, 63, 29), 255);
    EXPECT_EQ(At(world, 30, 3).r + At(world, 30, 30).r, 0);  // above the destination, below the clip
    const OffscreenWorld before = world;
    const long peak = PeakMemoryKB();
    reader.SetClipRect(std::nullopt);
    reader.SetDestRect(MakeRect(0, 0, 32000, 32000));  // beyond any picture: not drawn
    reader.Draw();
    EXPECT_LT(PeakMemoryKB() - peak, 64 * 1024);
    EXPECT_TRUE(SamePixels(world, before));
    reader.SetDrawingWorld(nullptr);
    reader.Draw();  // no world: nothing, no crash
}

TEST(ImageFileReader, PlaceholderIsAYellowFrameWithDiagonals) {
    WriteBytes(ScratchDir() / "readme.txt", "not an image");
    ImageFileReader reader(Spec(ScratchDir() / "readme.txt"));
    ASSERT_FALSE(reader.HasImporter());
    OffscreenWorld world(60, 50);
    world.Fill(0, 0, 0);
    reader.SetDrawingWorld(&world);
    reader.SetDestRect(MakeRect(10, 5, 40, 40));
    reader.Draw();
    for (auto [x, y] : {std::pair{10, 5}, {49, 44}, {13, 8}, {30, 5}, {30, 8}, {10, 25}, {49, 25}, {30, 44},
                        {20, 15}, {30, 25}, {40, 15}, {20, 35}}) {
        const Pixel p = At(world, x, y);
        EXPECT_TRUE(p.r == 255 && p.g == 255 && p.b == 0) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{9, 5}, {50, 44}, {30, 4}, {30, 45}, {30, 15}, {20, 25}, {40, 25}, {30, 38}})
        EXPECT_EQ(At(world, x, y).r, 0) << x << "," << y;
}

}  // namespace
