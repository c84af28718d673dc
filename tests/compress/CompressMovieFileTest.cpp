#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "CompressFixtures.h"
#include "support/TestSupport.h"
#include "compress/CompressMovieFile.h"
#include "platform/media/effects/EffectRendering.h"

namespace fs = std::filesystem;
using namespace compressfixtures;
using namespace testsupport;

namespace {

constexpr uint32_t kH264 = FourCC("avc1");
constexpr uint32_t kMjpegA = FourCC("mjpa");

FSSpec Spec(const fs::path& p) {
    FSSpec s;
    EXPECT_EQ(FSSpec::FromPath(p.string(), s), noErr);
    return s;
}

// Cancels at the n-th poll of the given pass (status text contains `pass`).
class CancellingProgress : public SilentProgress {
public:
    CancellingProgress(std::string pass, int atPoll) : mPass(std::move(pass)), mAtPoll(atPoll) {}
    void SetStatus(const std::string& text) override { mStatus = text; }
    int32_t Poll() override {
        if (mStatus.find(mPass) != std::string::npos && ++mPolls >= mAtPoll) return kCancelMessage;
        return 0;
    }

private:
    std::string mPass;
    std::string mStatus;
    int mAtPoll;
    int mPolls = 0;
};

OSErr Compress(const fs::path& source, const fs::path& dest, Job& job, std::string* message = nullptr) {
    SilentProgress progress;
    return CompressMovieFile(Spec(source), Spec(dest), job.settings, progress, message);
}

const uint8_t* Pixel(const std::vector<uint8_t>& rgb, int width, int x, int y) {
    return rgb.data() + (size_t(y) * width + x) * 3;
}

bool IsRed(const uint8_t* p) { return p[0] > 180 && p[1] < 70 && p[2] < 70; }

bool NoTemporaryFileIn(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().find("compressing") != std::string::npos) return false;
    return true;
}

}  // namespace

TEST(CompressMovieFile, H264AndAacWithTheSourceGeometry) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
    job.audio.Append(AacSegment());
    const fs::path out = dir / "out.mov";
    std::string message;
    ASSERT_EQ(Compress(MovieWithSound(), out, job, &message), noErr) << message;
    ASSERT_TRUE(fs::exists(out));
    EXPECT_TRUE(NoTemporaryFileIn(dir));
    EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=codec_name,width,height"), "h264\n320\n240");
    EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=codec_name,sample_rate,channels"), "aac\n44100\n2");
    EXPECT_EQ(CountFrames(out), 90);
    EXPECT_NEAR(DurationSeconds(out, "v:0"), 3.0, 0.04);
    EXPECT_NEAR(DurationSeconds(out, "a:0"), 3.0, 0.1);
    EXPECT_TRUE(DecodesCleanly(out));
    // The movie resource comes before the media data.
    std::ifstream f(out, std::ios::binary);
    std::string head(64, '\0');
    f.read(head.data(), 64);
    EXPECT_LT(head.find("moov") == std::string::npos ? 1000 : head.find("moov"), 64u);
}

TEST(CompressMovieFile, CropScaleAndRotation) {
    const fs::path dir = ScratchDir();
    {
        Job job;
        job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
        job.settings.crop = MakeRect(20, 10, 200, 160);  // 200 x 160 from (20, 10)
        const fs::path out = dir / "crop.mp4";
        ASSERT_EQ(Compress(MovieWithoutSound(), out, job), noErr);
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width,height"), "200\n160");
    }
    {
        Job job;
        job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
        job.settings.outputWidth = 128;
        job.settings.outputHeight = 96;
        const fs::path out = dir / "scaled.mov";
        ASSERT_EQ(Compress(MovieWithoutSound(), out, job), noErr);
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width,height"), "128\n96");
    }
    for (int rotation : {90, 180, 270}) {
        Job job;
        job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
        job.settings.rotation = rotation;
        const fs::path out = dir / ("rot" + std::to_string(rotation) + ".mov");
        ASSERT_EQ(Compress(MovieWithoutSound(), out, job), noErr) << rotation;
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width,height"),
                  rotation == 180 ? "320\n240" : "240\n320")
            << rotation;
    }
}

// Both ways a frame can go: through RGB (PNG out of an RGB source) and
// straight through YUV (H.264 out of an H.264 source).
struct FramePath {
    const char* name;
    fs::path (*source)();
    uint32_t codec;
};
const FramePath kFramePaths[] = {{"rgb", MarkerMovie, FourCC("png ")}, {"yuv", YuvMarkerMovie, kH264}};

TEST(CompressMovieFile, FlipsAndTurnsMoveTheCornerMarker) {
    const fs::path dir = ScratchDir();
    struct Case { bool flipH, flipV; int rotation; int cornerX, cornerY; };  // where the red corner lands
    // The marker sits in the top-left corner of a 160x120 picture.
    const Case cases[] = {
        {false, false, 0, 0, 0},   {true, false, 0, 1, 0},    {false, true, 0, 0, 1},
        {false, false, 90, 1, 0},  {false, false, 180, 1, 1}, {false, false, 270, 0, 1},
        {true, false, 90, 1, 1},
    };
    for (const FramePath& path : kFramePaths)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(path.name) + " " + std::to_string(c.flipH) + std::to_string(c.flipV) + " " +
                         std::to_string(c.rotation));
            Job job;
            job.video.Append(VideoSegment(path.codec, 0x3FF, 0, 1));
            job.settings.flipHorizontal = c.flipH;
            job.settings.flipVertical = c.flipV;
            job.settings.rotation = c.rotation;
            const fs::path out = dir / "flip.mov";
            ASSERT_EQ(Compress(path.source(), out, job), noErr);
            int w = 0, h = 0;
            const auto rgb = FramePixels(out, 0, w, h);
            ASSERT_EQ(rgb.size(), size_t(w) * h * 3);
            EXPECT_EQ(c.rotation % 180 ? 120 : 160, w);
            const int x = c.cornerX ? w - 5 : 4;
            const int y = c.cornerY ? h - 5 : 4;
            EXPECT_TRUE(IsRed(Pixel(rgb, w, x, y)));
            EXPECT_FALSE(IsRed(Pixel(rgb, w, w - 1 - x, h - 1 - y)));
            // The marker's far edges: 20 pixels from the corner, not 10 or 40.
            const int inX = c.cornerX ? w - 18 : 17, outX = c.cornerX ? w - 23 : 22;
            EXPECT_TRUE(IsRed(Pixel(rgb, w, inX, y)));
            EXPECT_FALSE(IsRed(Pixel(rgb, w, outX, y)));
        }
}

TEST(CompressMovieFile, BothFramePathsKeepTheColoursOfABt709Source) {
    const fs::path dir = ScratchDir();
    // H.264 takes the source's YUV as it is; Motion JPEG goes through RGB.
    for (uint32_t codec : {kH264, kMjpegA}) {
        SCOPED_TRACE(FourCCToString(codec));
        Job job;
        job.video.Append(VideoSegment(codec, 0x3FF, 0, 1));
        const fs::path out = dir / "bt709.mov";
        ASSERT_EQ(Compress(Bt709Movie(), out, job), noErr);
        const std::string matrix = Probe(out, "-select_streams v:0 -show_entries stream=color_space");
        if (codec == kH264) EXPECT_EQ(matrix, "bt709");
        else EXPECT_TRUE(matrix == "smpte170m" || matrix == "bt470bg") << matrix;  // both BT.601
        int w = 0, h = 0;
        const auto rgb = FramePixels(out, 0, w, h);
        ASSERT_EQ(rgb.size(), size_t(w) * h * 3);
        // Read with the wrong matrix these would be about 20 levels off.
        const uint8_t* red = Pixel(rgb, w, 40, 60);
        const uint8_t* green = Pixel(rgb, w, 120, 60);
        EXPECT_NEAR(red[0], 255, 8);
        EXPECT_NEAR(red[1], 0, 8);
        EXPECT_NEAR(green[0], 0, 8);
        EXPECT_NEAR(green[1], 128, 8);  // lavfi's "green" is 0,128,0
        EXPECT_NEAR(green[2], 0, 8);
    }
}

TEST(CompressMovieFile, ExcludedSpanLeavesPictureAndSound) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
    job.audio.Append(AacSegment());
    job.Exclude(1.0, 2.0);
    const fs::path out = dir / "cut.mov";
    ASSERT_EQ(Compress(MovieWithSound(), out, job), noErr);
    EXPECT_NEAR(DurationSeconds(out, "v:0"), 2.0, 1.0 / 30 + 0.01);
    EXPECT_NEAR(DurationSeconds(out, "a:0"), 2.0, 0.1);
    EXPECT_TRUE(DecodesCleanly(out));
}

TEST(CompressMovieFile, SoundIsCopiedUnchangedWithoutAnAudioSegment) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
    const fs::path out = dir / "copy.mov";
    ASSERT_EQ(Compress(MovieWithSound(), out, job), noErr);
    auto packetsMd5 = [](const fs::path& f) {
        return CaptureCommand("ffmpeg -nostdin -v error -i " + ShellQuote(f.string()) +
                              " -map 0:a -c copy -f md5 -");
    };
    EXPECT_FALSE(packetsMd5(out).empty());
    EXPECT_EQ(packetsMd5(out), packetsMd5(MovieWithSound()));
}

TEST(CompressMovieFile, EachSegmentStartsWithAKeyFrame) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(kH264, 0x100, 0, 1.5));
    job.video.Append(VideoSegment(kH264, 0x3FF, 1.5, 3));
    const fs::path out = dir / "two.mov";
    ASSERT_EQ(Compress(MovieWithoutSound(), out, job), noErr);
    const std::string keys = Probe(out, "-select_streams v:0 -show_entries packet=flags");
    std::vector<std::string> flags;
    size_t start = 0;
    for (size_t nl; (nl = keys.find('\n', start)) != std::string::npos || start < keys.size();) {
        nl = nl == std::string::npos ? keys.size() : nl;
        flags.push_back(keys.substr(start, nl - start));
        start = nl + 1;
    }
    ASSERT_EQ(flags.size(), 90u);
    EXPECT_EQ(flags[0][0], 'K');
    EXPECT_EQ(flags[45][0], 'K');
    EXPECT_TRUE(DecodesCleanly(out));
    // The high-quality half takes more bytes than the low-quality half.
    const std::string sizes = Probe(out, "-select_streams v:0 -show_entries packet=size");
    int64_t first = 0, second = 0, i = 0;
    for (size_t pos = 0; pos < sizes.size(); ++i) {
        size_t nl = sizes.find('\n', pos);
        if (nl == std::string::npos) nl = sizes.size();
        (i < 45 ? first : second) += std::stoll(sizes.substr(pos, nl - pos));
        pos = nl + 1;
    }
    EXPECT_GT(second, first * 2);
}

TEST(CompressMovieFile, SegmentFrameRateSetsFrameDurations) {
    const fs::path dir = ScratchDir();
    Job job;
    // 12 fps for the first second and a half, then as the source (30 fps).
    job.video.Append(VideoSegment(kH264, 0x200, 0, 1.5, 12 << 16));
    job.video.Append(VideoSegment(kH264, 0x200, 1.5, 3));
    const fs::path out = dir / "rates.mov";
    ASSERT_EQ(Compress(MovieWithoutSound(), out, job), noErr);
    // 1.5 s at 12 fps is 18 frames of 50/600 s; then 45 frames of 20/600 s.
    EXPECT_EQ(CountFrames(out), 18 + 45);
    EXPECT_NEAR(DurationSeconds(out, "v:0"), 3.0, 0.02);
    const std::string durations = Probe(out, "-select_streams v:0 -show_entries packet=duration_time");
    EXPECT_EQ(durations.substr(0, durations.find('\n')), "0.083333");
}

TEST(CompressMovieFile, WatermarkIsBlendedAtThePlacement) {
    const fs::path dir = ScratchDir();
    for (const FramePath& path : kFramePaths) {
        SCOPED_TRACE(path.name);
        Job job;
        job.video.Append(VideoSegment(path.codec, 0x3FF, 0, 1));
        job.settings.watermarkFile = Spec(WatermarkPicture());
        job.settings.watermarkPlacement = 12;  // bottom right
        const fs::path out = dir / "mark.mov";
        ASSERT_EQ(Compress(path.source(), out, job), noErr);
        int w = 0, h = 0;
        const auto rgb = FramePixels(out, 0, w, h);
        ASSERT_EQ(rgb.size(), size_t(w) * h * 3);
        const uint8_t* inside = Pixel(rgb, w, w - 10, h - 10);  // half blue over black
        EXPECT_NEAR(inside[2], 128, 12);
        EXPECT_LT(inside[0], 12);
        const uint8_t* outside = Pixel(rgb, w, w - 50, h - 10);
        EXPECT_LT(outside[2], 12);
        EXPECT_TRUE(IsRed(Pixel(rgb, w, 5, 5)));  // the picture under it is still there
    }
}

TEST(CompressMovieFile, FiltersRunOverEveryFrame) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(FourCC("png "), 0x200, 0, 1));
    job.filters.Append(std::make_unique<Handle>(MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}})));
    const fs::path out = dir / "grey.mov";
    ASSERT_EQ(Compress(MarkerMovie(), out, job), noErr);
    int w = 0, h = 0;
    const auto rgb = FramePixels(out, 0, w, h);
    ASSERT_EQ(rgb.size(), size_t(w) * h * 3);
    const uint8_t* corner = Pixel(rgb, w, 5, 5);  // was red, now grey
    EXPECT_NEAR(corner[0], corner[1], 3);
    EXPECT_NEAR(corner[1], corner[2], 3);
    EXPECT_GT(corner[0], 20);
}

TEST(CompressMovieFile, CancelLeavesNoFileInEitherPass) {
    const fs::path dir = ScratchDir();
    for (const char* pass : {"video", "sound"}) {
        Job job;
        job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
        job.audio.Append(AacSegment());
        CancellingProgress progress(pass, 3);
        FSSpec source = Spec(MovieWithSound());
        const fs::path out = dir / "cancelled.mov";
        EXPECT_EQ(CompressMovieFile(source, Spec(out), job.settings, progress), noErr) << pass;
        EXPECT_FALSE(fs::exists(out)) << pass;
        EXPECT_TRUE(NoTemporaryFileIn(dir)) << pass;
    }
}

TEST(CompressMovieFile, BadInputsGiveAnErrorAndNoFile) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
    std::string message;
    // A truncated movie.
    const fs::path truncated = dir / "truncated.mov";
    {
        std::ifstream in(MovieWithSound(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(truncated, std::ios::binary).write(bytes.data(), 200);
    }
    EXPECT_NE(Compress(truncated, dir / "a.mov", job, &message), noErr);
    EXPECT_FALSE(message.empty());
    EXPECT_FALSE(fs::exists(dir / "a.mov"));
    // Not a movie at all.
    std::ofstream(dir / "text.mov") << "hello";
    EXPECT_NE(Compress(dir / "text.mov", dir / "b.mov", job, &message), noErr);
    EXPECT_FALSE(fs::exists(dir / "b.mov"));
    // A destination folder that does not exist.
    EXPECT_NE(Compress(MovieWithSound(), dir / "missing" / "c.mov", job, &message), noErr);
    EXPECT_FALSE(message.empty());
    // Two codecs in one track: refused before anything is written.
    Job mixed;
    mixed.video.Append(VideoSegment(kH264, 0x200, 0, 1.5));
    mixed.video.Append(VideoSegment(kMjpegA, 0x200, 1.5, 3));
    EXPECT_NE(Compress(MovieWithSound(), dir / "d.mov", mixed, &message), noErr);
    EXPECT_NE(message.find("H.264"), std::string::npos) << message;
    EXPECT_NE(message.find("Motion JPEG A"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(dir / "d.mov"));
    EXPECT_TRUE(NoTemporaryFileIn(dir));
}

// A small tmpfs mounted for the length of one test; needs root.
class SmallDisk {
public:
    SmallDisk(const fs::path& where, const char* size) : mWhere(where) {
        fs::create_directories(where);
        const std::string command =
            "mount -t tmpfs -o size=" + std::string(size) + " tmpfs '" + where.string() + "' 2>/dev/null";
        mMounted = std::system(command.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mMounted) std::system(("umount '" + mWhere.string() + "'").c_str());
    }
    bool Mounted() const { return mMounted; }

private:
    fs::path mWhere;
    bool mMounted = false;
};

TEST(CompressMovieFile, FullDiskGivesAnErrorAndLeavesTheOldFileAlone) {
    const fs::path dir = ScratchDir();
    SmallDisk disk(dir / "small", "256k");
    if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    // A movie the user already has under the destination's name.
    const fs::path out = dir / "small" / "out.mov";
    std::ofstream(out) << "the user's old movie";
    // Lossless pictures: megabytes, on a disk of a quarter of one.
    Job job;
    job.video.Append(VideoSegment(FourCC("png "), 0x200, 0, 3));
    job.audio.Append(AacSegment());
    std::string message;
    EXPECT_NE(Compress(MovieWithSound(), out, job, &message), noErr);
    EXPECT_NE(message.find("No space left"), std::string::npos) << message;
    std::ifstream in(out);
    std::string kept((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(kept, "the user's old movie");
    EXPECT_TRUE(NoTemporaryFileIn(dir / "small"));
    // Nothing else left behind to fill the disk.
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(dir / "small")) entries += entry.is_regular_file();
    EXPECT_EQ(entries, 1u);
}

TEST(CompressMovieFile, MissingWatermarkLeavesFramesWithoutIt) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(kH264, 0x200, 0, 3));
    job.settings.watermarkFile = Spec(dir / "no-such.png");
    std::string message;
    const fs::path out = dir / "plain.mov";
    EXPECT_EQ(Compress(MovieWithoutSound(), out, job, &message), noErr);
    EXPECT_TRUE(fs::exists(out));
    EXPECT_NE(message.find("watermark"), std::string::npos) << message;
}
