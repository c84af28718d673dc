#include <gtest/gtest.h>

#include <fstream>
#include <sys/resource.h>

#include "EffectTestSupport.h"
#include "platform/media/image/ImageFileReader.h"
#include "platform/media/image/PictureLayout.h"
#include "support/TestSupport.h"

using namespace effecttest;
namespace fs = std::filesystem;

namespace {

FSSpec SpecFor(const fs::path& path) {
    FSSpec spec;
    EXPECT_EQ(FSSpec::FromPath(path.string(), spec), noErr);
    return spec;
}

fs::path HalfRedPNG() {
    return testsupport::FixtureMovie("effects_red_half.png",
                                     "-f lavfi -i color=red@0.5:s=40x20,format=rgba -frames:v 1");
}

bool IsYellow(const OffscreenWorld& w, int x, int y) {
    const Pixel p = At(w, x, y);
    return p.r == 255 && p.g == 255 && p.b == 0;
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string BE32(uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// A PNG whose header claims width x height, with a token of pixel data.
void WriteClaimedPNG(const fs::path& path, uint32_t width, uint32_t height) {
    auto chunk = [](const std::string& type, const std::string& data) {
        return BE32(uint32_t(data.size())) + type + data + BE32(Crc32(type + data));
    };
    const std::string header = BE32(width) + BE32(height) + std::string("\x08\x06\x00\x00\x00", 5);
    std::ofstream out(path, std::ios::binary);
    out << std::string("\x89PNG\r\n\x1a\n", 8) << chunk("IHDR", header)
        << chunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9)) << chunk("IEND", "");
}

long PeakMemoryKB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

// --- layout -------------------------------------------------------------------

TEST(PictureLayout, FitShrinksKeepingAspectAndCentres) {
    const Rect box = MakeRect(0, 0, 100, 100);
    EXPECT_EQ(FitPictureInBox(MakeRect(0, 0, 400, 200), box), MakeRect(0, 25, 100, 50));
    EXPECT_EQ(FitPictureInBox(MakeRect(0, 0, 100, 400), box), MakeRect(38, 0, 25, 100));  // 37.5 rounds up
    EXPECT_EQ(FitPictureInBox(MakeRect(0, 0, 60, 40), box), MakeRect(20, 30, 60, 40));
    EXPECT_EQ(FitPictureInBox(MakeRect(0, 0, 61, 40), box), MakeRect(20, 30, 61, 40));    // 19.5 rounds up
    EXPECT_EQ(FitPictureInBox(MakeRect(5, 7, 300, 90), MakeRect(10, 20, 150, 60)), MakeRect(10, 28, 150, 45));
    EXPECT_EQ(FitPictureInBox(MakeRect(0, 0, 100, 100), box), box);
    EXPECT_EQ(FitPictureInBox(MakeRect(0, 0, 1000, 3), box), MakeRect(0, 50, 100, 0));
}

TEST(PictureLayout, PlaceRectInFrameFollowsTheFlags) {
    const Rect frame = MakeRect(0, 0, 320, 240);
    const Rect mark = MakeRect(17, 9, 40, 20);
    EXPECT_EQ(PlaceRectInFrame(mark, frame, 0), MakeRect(0, 0, 40, 20));
    EXPECT_EQ(PlaceRectInFrame(mark, frame, kDefaultWatermarkPlacement), MakeRect(280, 220, 40, 20));
    EXPECT_EQ(PlaceRectInFrame(mark, frame, 4 | 1), MakeRect(140, 0, 40, 20));
    EXPECT_EQ(PlaceRectInFrame(mark, frame, 8 | 2), MakeRect(0, 110, 40, 20));
    EXPECT_EQ(PlaceRectInFrame(mark, frame, 15), MakeRect(140, 110, 40, 20));
    EXPECT_EQ(PlaceRectInFrame(mark, frame, 1 | 2), MakeRect(0, 0, 40, 20));  // halving alone moves nothing
    EXPECT_EQ(PlaceRectInFrame(MakeRect(0, 0, 41, 21), MakeRect(0, 0, 20, 10), 15), MakeRect(-10, -5, 41, 21));
}

// --- reading ------------------------------------------------------------------

TEST(ImageFileReader, ReadsPNGWithAlpha) {
    ImageFileReader reader(SpecFor(HalfRedPNG()));
    ASSERT_TRUE(reader.HasImporter()) << reader.OpenError();
    EXPECT_EQ(reader.NaturalBounds(), MakeRect(0, 0, 40, 20));
    EXPECT_EQ(reader.ImportMode(), 1);
    const OffscreenWorld& picture = reader.Picture();
    EXPECT_EQ(At(picture, 5, 5).r, 255);
    EXPECT_EQ(At(picture, 5, 5).g, 0);
    EXPECT_NEAR(AlphaAt(picture, 39, 19), 128, 1);
}

TEST(ImageFileReader, ReadsCommonStillFormats) {
    struct Case {
        const char* name;
        const char* extra;
        int tolerance;
    };
    const Case cases[] = {{"effects_rgb_blue.jpg", "", 12},
                          {"effects_rgb_blue.bmp", "", 0},
                          {"effects_rgb_blue.gif", "", 24},
                          {"effects_rgb_blue.tiff", "", 0},
                          {"effects_rgb_blue.png", "", 0}};
    for (const auto& c : cases) {
        const fs::path file =
            testsupport::FixtureMovie(c.name, std::string("-f lavfi -i color=0x2050C0:s=36x28,format=rgb24 -frames:v 1 ") + c.extra);
        ImageFileReader reader(SpecFor(file), 5);
        ASSERT_TRUE(reader.HasImporter()) << c.name << ": " << reader.OpenError();
        EXPECT_EQ(reader.NaturalBounds(), MakeRect(0, 0, 36, 28)) << c.name;
        EXPECT_EQ(reader.ImportMode(), 5);
        const Pixel p = At(reader.Picture(), 18, 14);
        EXPECT_NEAR(p.r, 0x20, c.tolerance) << c.name;
        EXPECT_NEAR(p.g, 0x50, c.tolerance) << c.name;
        EXPECT_NEAR(p.b, 0xC0, c.tolerance) << c.name;
        EXPECT_EQ(AlphaAt(reader.Picture(), 18, 14), 255) << c.name;
    }
}

TEST(ImageFileReader, NamesWithPercentAndBlanksAreJustNames) {
    const fs::path dir = testsupport::ScratchDir();
    const fs::path odd = dir / "50% off #1 (final).png";
    fs::copy_file(HalfRedPNG(), odd);
    ImageFileReader reader(SpecFor(odd));
    EXPECT_TRUE(reader.HasImporter()) << reader.OpenError();
}

TEST(ImageFileReader, UnreadableFilesHaveNoImporter) {
    const fs::path dir = testsupport::ScratchDir();
    std::ofstream(dir / "notes.txt") << "just some text, not a picture\n";
    std::ofstream(dir / "fake.png") << "this is not a png either";
    std::ofstream(dir / "empty.png");
    {
        std::ifstream in(HalfRedPNG(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(dir / "cut.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    }
    const fs::path movie = testsupport::FixtureMovie("effects_clip.mov",
                                                     "-f lavfi -i testsrc=s=64x48:d=0.2 -c:v mjpeg");
    for (const fs::path& file : {dir / "notes.txt", dir / "fake.png", dir / "empty.png", dir / "cut.png",
                                 dir / "missing.png", movie}) {
        ImageFileReader reader(SpecFor(file));
        EXPECT_FALSE(reader.HasImporter()) << file;
        EXPECT_TRUE(reader.NaturalBounds().IsEmpty()) << file;
        EXPECT_FALSE(reader.OpenError().empty()) << file;
    }
    ImageFileReader none{FSSpec()};
    EXPECT_FALSE(none.HasImporter());
}

TEST(ImageFileReader, AbsurdDimensionsAreRefusedWithoutAllocating) {
    const fs::path dir = testsupport::ScratchDir();
    WriteClaimedPNG(dir / "huge.png", 60000, 60000);
    WriteClaimedPNG(dir / "wide.png", 70000, 1);
    const long before = PeakMemoryKB();
    for (const char* name : {"huge.png", "wide.png"}) {
        ImageFileReader reader(SpecFor(dir / name));
        EXPECT_FALSE(reader.HasImporter()) << name;
    }
    EXPECT_LT(PeakMemoryKB() - before, 64 * 1024);

    const fs::path tooWide = testsupport::FixtureMovie("effects_too_wide.png",
                                                       "-f lavfi -i color=white:s=16400x2 -frames:v 1");
    ImageFileReader reader(SpecFor(tooWide));
    EXPECT_FALSE(reader.HasImporter());
}

// --- drawing ------------------------------------------------------------------

TEST(ImageFileReader, WatermarkBlendsWithItsAlpha) {
    ImageFileReader reader(SpecFor(HalfRedPNG()));
    ASSERT_TRUE(reader.HasImporter());
    const int alpha = AlphaAt(reader.Picture(), 0, 0);
    OffscreenWorld frame(100, 60);
    frame.Fill(0, 0, 255);
    const Rect placed = PlaceRectInFrame(reader.NaturalBounds(), MakeRect(0, 0, 100, 60), kDefaultWatermarkPlacement);
    reader.SetDrawingWorld(&frame);
    reader.SetDestRect(placed);
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
    EXPECT_EQ(At(frame, 70, 50).r, 255);
    EXPECT_EQ(At(frame, 70, 50).b, 0);
}

TEST(ImageFileReader, DrawsScaledAndClipped) {
    ImageFileReader reader(SpecFor(HalfRedPNG()));
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
    EXPECT_EQ(At(world, 30, 3).r, 0);   // above the destination
    EXPECT_EQ(At(world, 30, 30).r, 0);  // below the clip
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
    const fs::path dir = testsupport::ScratchDir();
    std::ofstream(dir / "readme.txt") << "not an image";
    ImageFileReader reader(SpecFor(dir / "readme.txt"));
    ASSERT_FALSE(reader.HasImporter());
    OffscreenWorld world(60, 50);
    world.Fill(0, 0, 0);
    reader.SetDrawingWorld(&world);
    reader.SetDestRect(MakeRect(10, 5, 40, 40));
    reader.Draw();
    for (auto [x, y] : {std::pair{10, 5}, {49, 44}, {13, 8}, {30, 5}, {30, 8}, {10, 25}, {49, 25}, {30, 44},
                        {20, 15}, {30, 25}, {40, 15}, {20, 35}})
        EXPECT_TRUE(IsYellow(world, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{9, 5}, {50, 44}, {30, 4}, {30, 45}, {30, 15}, {20, 25}, {40, 25}, {30, 38}})
        EXPECT_EQ(At(world, x, y).r, 0) << x << "," << y;
}
