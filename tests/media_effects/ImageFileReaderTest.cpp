// Pictures from files: reading the common still
// formats, refusing what is not a picture or claims an absurd size, and
// drawing with alpha, scaled and cut at the frame's edges.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include "platform/media/image/ImageFileReader.h"
#include "support/Pictures.h"
#include "support/TestSupport.h"

using namespace pictures;
using namespace testsupport;

namespace {

fs::path HalfRedPNG() { return Picture(40, 20, "red@0.5"); }

long PeakMemoryKB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(ImageFileReader, ReadsCommonStillFormatsWithAlpha) {
    ImageFileReader png(Spec(HalfRedPNG()));
    ASSERT_TRUE(png.HasImporter()) << png.OpenError();
    EXPECT_EQ(png.NaturalBounds(), MakeRect(0, 0, 40, 20));
    EXPECT_EQ(std::pair(At(png.Picture(), 5, 5).r, At(png.Picture(), 5, 5).g), std::pair(255, 0));
    EXPECT_NEAR(AlphaAt(png.Picture(), 39, 19), 128, 1);
    for (auto [extension, tolerance] : {std::pair{"jpg", 12}, {"bmp", 0}, {"gif", 24}, {"tiff", 0}, {"png", 0}}) {
        const fs::path file = FixtureMovie(std::string("effects_rgb_blue.") + extension,
                                           "-f lavfi -i color=0x2050C0:s=36x28,format=rgb24 -frames:v 1");
        ImageFileReader reader(Spec(file), 5);
        ASSERT_TRUE(reader.HasImporter()) << extension << ": " << reader.OpenError();
        EXPECT_EQ(reader.NaturalBounds(), MakeRect(0, 0, 36, 28)) << extension;
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
    const fs::path movie = SmallMovie();
    const fs::path tooWide = Picture(16400, 2, "white");
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

TEST(ImageFileReader, DrawsScaledAndCutAtTheEdgesAndNotBeyondAnyPicture) {
    ImageFileReader reader(Spec(HalfRedPNG()));
    ASSERT_TRUE(reader.HasImporter());
    OffscreenWorld world(64, 64, OffscreenWorld::Format::RGBA32);
    world.Fill(0, 255, 0, 255);
    reader.SetDrawingWorld(&world);
    reader.SetDestRect(MakeRect(-10, 4, 80, 40));  // twice the size, hanging off the left
    reader.SetGraphicsMode(kGraphicsModePreWhiteAlpha);
    reader.Draw();
    EXPECT_EQ(At(world, 0, 4).r, At(world, 63, 43).r);
    EXPECT_GT(At(world, 63, 43).r, 100);
    EXPECT_LT(At(world, 63, 43).g, 160);
    EXPECT_EQ(AlphaAt(world, 63, 43), 255);
    EXPECT_EQ(At(world, 30, 3).r + At(world, 30, 44).r, 0);  // above and below the destination
    const OffscreenWorld before = world;
    const long peak = PeakMemoryKB();
    reader.SetDestRect(MakeRect(0, 0, 32000, 32000));  // beyond any picture: not drawn
    reader.Draw();
    EXPECT_LT(PeakMemoryKB() - peak, 64 * 1024);
    EXPECT_TRUE(SamePixels(world, before));
    reader.SetDrawingWorld(nullptr);
    reader.Draw();  // no world: nothing, no crash
}

}  // namespace
