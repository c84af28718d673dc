// The settings' pixel depth picks the pixel format of the codecs that offer
// a choice. Each case is written, read back with ffprobe, decoded, and its
// first frame compared with the picture that went in.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "support/EncodeMovies.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::Probe;

namespace {

constexpr int kWidth = 48, kHeight = 32;

// What the decoded picture must look like.
enum class Look {
    Same,       // the same colours (lossless)
    Near,       // the same colours within a step of a coarser format
    Grey,       // grey levels close to the picture's brightness
    TwoLevel,   // only black and white
};

struct Case {
    OSType type;
    int16_t depth;
    const char* probed;  // the pixel format ffprobe reports (the decoder's)
    Look look;
    int tolerance = 0;   // for Near
    const char* extension = ".mov";
};

std::string Name(const Case& c) { return FourCCToString(c.type) + " depth " + std::to_string(c.depth) + c.extension; }

// The first frame decoded as RGBA.
std::string FirstFrameRgba(const fs::path& movie) {
    return testsupport::CaptureCommand("ffmpeg -v error -i " + testsupport::ShellQuote(movie.string()) +
                                       " -frames:v 1 -f rawvideo -pix_fmt rgba -");
}

void CheckLook(const Case& c, const std::string& decoded) {
    ASSERT_EQ(decoded.size(), size_t(kWidth * kHeight * 4));
    OffscreenWorld source(kWidth, kHeight);
    encodetest::DrawFrame(source, 0);
    int worst = 0;
    bool sawColour = false;
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* s = source.Row(y);
        for (int x = 0; x < kWidth; ++x, s += 3) {
            const auto* d = reinterpret_cast<const uint8_t*>(decoded.data()) + (y * kWidth + x) * 4;
            ASSERT_EQ(d[3], 255) << "opaque at " << x << "," << y;
            const bool grey = d[0] == d[1] && d[1] == d[2];
            sawColour = sawColour || !grey;
            switch (c.look) {
            case Look::Same:
            case Look::Near:
                for (int i = 0; i < 3; ++i) worst = std::max(worst, std::abs(int(d[i]) - int(s[i])));
                break;
            case Look::Grey: {
                ASSERT_TRUE(grey) << x << "," << y;
                const double luma = 0.299 * s[0] + 0.587 * s[1] + 0.114 * s[2];
                worst = std::max(worst, int(std::lround(std::abs(d[0] - luma))));
                break;
            }
            case Look::TwoLevel:
                ASSERT_TRUE(grey && (d[0] == 0 || d[0] == 255)) << x << "," << y << ": " << int(d[0]);
                break;
            }
        }
    }
    // Grey levels use the full range: only rounding may differ.
    const int allowed[] = {0, c.tolerance, 2, 0};
    EXPECT_LE(worst, allowed[int(c.look)]);
    EXPECT_EQ(sawColour, c.look == Look::Same || c.look == Look::Near);
}

}  // namespace

TEST(VideoDepth, EachDepthGivesItsPixelFormatAndDecodesToThePicture) {
    const OSType png = FourCC("png "), rle = FourCC("rle "), raw = FourCC("raw ");
    // The Animation decoder hands grey frames out as a grey palette; mov
    // reads 8-bit grey raw frames as a palette too.
    const Case cases[] = {
        {png, 1, "monob", Look::TwoLevel},
        {png, 2, "gray", Look::Grey},
        {png, 4, "gray", Look::Grey},
        {png, 8, "pal8", Look::Near, 40},
        {png, 16, "rgb24", Look::Same},
        {png, 24, "rgb24", Look::Same},
        {png, 32, "rgba", Look::Same},
        {png, 0, "rgb24", Look::Same},
        {rle, 0, "rgb24", Look::Same},
        {raw, 0, "rgb24", Look::Same},
        {FourCC("smc "), 0, "pal8", Look::Near, 26},
        {png, 1, "monob", Look::TwoLevel, 0, ".mp4"},
        {png, 32, "rgba", Look::Same, 0, ".mp4"},
        {rle, 1, "pal8", Look::Grey},
        {rle, 8, "pal8", Look::Grey},
        {rle, 16, "rgb555le", Look::Near, 8},
        {rle, 24, "rgb24", Look::Same},
        {rle, 32, "argb", Look::Same},
        {raw, 2, "pal8", Look::Grey},
        {raw, 8, "pal8", Look::Near, 40},
        {raw, 16, "rgb555be", Look::Near, 8},
        {raw, 32, "argb", Look::Same},
        // Without a depth choice the depth changes nothing.
        {FourCC("mp4v"), 1, "yuv420p", Look::Near, 255},
    };
    const fs::path dir = testsupport::ScratchDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(Name(c));
        VideoSettings settings;
        settings.codecType = c.type;
        settings.depth = c.depth;
        const fs::path out = dir / (FourCCToString(c.type).substr(0, 3) + std::to_string(c.depth) + c.extension);
        encodetest::WriteVideoMovie(out, {encodetest::Segment{settings, {20, 20, 20}}}, kWidth, kHeight);
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=pix_fmt"), c.probed);
        EXPECT_EQ(Probe(out, "-select_streams v:0 -count_frames -show_entries stream=nb_read_frames"), "3");
        EXPECT_EQ(testsupport::DecodeErrors(out), "");
        CheckLook(c, FirstFrameRgba(out));
    }
}
