// The compression job on real movies: geometry, flips and turns on both
// frame paths, colour, excluded spans, sound, segments, watermark,
// filters, cancelling and failures, checked with ffprobe and ffmpeg.
#include <gtest/gtest.h>

#include <cstdlib>

#include "compress/CompressMovieFile.h"
#include "platform/media/effects/EffectRendering.h"
#include "support/CompressJob.h"
#include "support/Pictures.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace compressfixtures;
using namespace testsupport;

namespace {

constexpr uint32_t kH264 = FourCC("avc1");
constexpr uint32_t kMjpegA = FourCC("mjpa");

// Cancels at the n-th poll of the given pass (status text contains `pass`).
class CancellingProgress : public SilentProgress {
public:
    CancellingProgress(std::string pass, int atPoll) : mPass(std::move(pass)), mAtPoll(atPoll) {}
    void SetStatus(const std::string& text) override { mStatus = text; }
    int32_t Poll() override {
        return mStatus.find(mPass) != std::string::npos && ++mPolls >= mAtPoll ? kCancelMessage : 0;
    }

private:
    std::string mPass, mStatus;
    int mAtPoll, mPolls = 0;
};

// A job of one segment of the whole movie.
std::unique_ptr<Job> OneSegment(uint32_t codec = kH264, double seconds = 3, int32_t quality = 0x200) {
    auto job = std::make_unique<Job>();
    job->video.Append(VideoSegment(codec, quality, 0, seconds));
    return job;
}

// The first frame of a movie as RGB24.
struct Frame {
    int w = 0, h = 0;  // before the pixels: filled while they are read
    std::vector<uint8_t> rgb;
    explicit Frame(const fs::path& movie) : rgb(FramePixels(movie, 0, w, h)) {
        EXPECT_EQ(rgb.size(), size_t(w) * h * 3);
    }
    const uint8_t* At(int x, int y) const { return rgb.data() + (size_t(y) * w + x) * 3; }
    bool IsRed(int x, int y) const { return At(x, y)[0] > 180 && At(x, y)[1] < 70 && At(x, y)[2] < 70; }
};

bool NoTemporaryFileIn(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().find("compressing") != std::string::npos) return false;
    return true;
}

TEST(CompressMovieFile, H264AndAacWithTheSourceGeometryAndTheMovieResourceFirst) {
    const fs::path dir = ScratchDir();
    auto job = OneSegment();
    job->audio.Append(AacSegment());
    const fs::path out = dir / "out.mov";
    std::string message;
    ASSERT_EQ(Compress(MovieWithSound(), out, *job, &message), noErr) << message;
    EXPECT_TRUE(NoTemporaryFileIn(dir));
    EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=codec_name,width,height"), "h264\n320\n240");
    EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=codec_name,sample_rate,channels"), "aac\n44100\n2");
    EXPECT_EQ(CountFrames(out), 90);
    EXPECT_NEAR(DurationSeconds(out, "v:0"), 3.0, 0.04);
    EXPECT_NEAR(DurationSeconds(out, "a:0"), 3.0, 0.1);
    EXPECT_TRUE(DecodesCleanly(out));
    EXPECT_LT(ReadBytes(out).substr(0, 64).find("moov"), 64u);
}

// Both ways a frame can go: through RGB (PNG out of an RGB source) and
// straight through YUV (H.264 out of an H.264 source).
struct FramePath {
    const char* name;
    fs::path (*source)();
    uint32_t codec;
};
const FramePath kFramePaths[] = {{"rgb", fixtures::RgbMarkerMovie, FourCC("png ")},
                                 {"yuv", fixtures::MarkerMovie, kH264}};

TEST(CompressMovieFile, FlipsAndTurnsMoveTheCornerMarker) {
    const fs::path dir = ScratchDir();
    // The red marker sits in the top-left corner of a 160x120 picture; where it lands.
    struct Case {
        bool flipH, flipV;
        int rotation;
        bool right, bottom;
    };
    const Case cases[] = {{false, false, 0, 0, 0},  {true, false, 0, 1, 0},    {false, true, 0, 0, 1},
                          {false, false, 90, 1, 0}, {false, false, 180, 1, 1}, {false, false, 270, 0, 1},
                          {true, false, 90, 1, 1}};
    for (const FramePath& path : kFramePaths)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(path.name) + " " + std::to_string(c.flipH) + std::to_string(c.flipV) + " " +
                         std::to_string(c.rotation));
            auto job = OneSegment(path.codec, 1, 0x3FF);
            job->settings.flipHorizontal = c.flipH;
            job->settings.flipVertical = c.flipV;
            job->settings.rotation = c.rotation;
            ASSERT_EQ(Compress(path.source(), dir / "flip.mov", *job), noErr);
            const Frame f(dir / "flip.mov");
            EXPECT_EQ(f.w, c.rotation % 180 ? 120 : 160);
            const int x = c.right ? f.w - 5 : 4, y = c.bottom ? f.h - 5 : 4;
            EXPECT_TRUE(f.IsRed(x, y));
            EXPECT_FALSE(f.IsRed(f.w - 1 - x, f.h - 1 - y));
        }
}

TEST(CompressMovieFile, UnsetSoundIsCopiedBitForBit) {
    const fs::path dir = ScratchDir();
    const fs::path pcm = SmallMovie();
    auto packetsMd5 = [](const fs::path& f) {
        return CaptureCommand("ffmpeg -nostdin -v error -i " + Q(f) + " -map 0:a -c copy -f md5 -");
    };
    for (const fs::path& source : {MovieWithSound(), pcm}) {
        auto copy = OneSegment();  // no sound segment
        ASSERT_EQ(Compress(source, dir / "copy.mov", *copy), noErr);
        EXPECT_FALSE(packetsMd5(dir / "copy.mov").empty());
        EXPECT_EQ(packetsMd5(dir / "copy.mov"), packetsMd5(source)) << source;
        EXPECT_NEAR(DurationSeconds(dir / "copy.mov", "a:0"), DurationSeconds(source, "a:0"), 0.001) << source;
    }
}

TEST(CompressMovieFile, EachSegmentStartsWithAKeyFrameWithItsQualityAndFrameRate) {
    const fs::path dir = ScratchDir();
    Job job;
    job.video.Append(VideoSegment(kH264, 0x100, 0, 1.5));
    job.video.Append(VideoSegment(kH264, 0x3FF, 1.5, 3));
    ASSERT_EQ(Compress(MovieWithoutSound(), dir / "two.mov", job), noErr);
    const auto flags = Lines(Probe(dir / "two.mov", "-select_streams v:0 -show_entries packet=flags"));
    ASSERT_EQ(flags.size(), 90u);
    EXPECT_EQ(flags[0][0], 'K');
    EXPECT_EQ(flags[45][0], 'K');
    EXPECT_TRUE(DecodesCleanly(dir / "two.mov"));
    // The high-quality half takes more bytes than the low-quality half.
    const auto sizes = Lines(Probe(dir / "two.mov", "-select_streams v:0 -show_entries packet=size"));
    int64_t half[2] = {0, 0};
    for (size_t i = 0; i < sizes.size(); ++i) half[i >= 45] += std::stoll(sizes[i]);
    EXPECT_GT(half[1], half[0] * 2);

    // 12 fps for the first second and a half, then as the source (30 fps):
    // 18 frames of 50/600 s, then 45 of 20/600 s.
    Job rates;
    rates.video.Append(VideoSegment(kH264, 0x200, 0, 1.5, 12 << 16));
    rates.video.Append(VideoSegment(kH264, 0x200, 1.5, 3));
    ASSERT_EQ(Compress(MovieWithoutSound(), dir / "rates.mov", rates), noErr);
    EXPECT_EQ(CountFrames(dir / "rates.mov"), 18 + 45);
    EXPECT_NEAR(DurationSeconds(dir / "rates.mov", "v:0"), 3.0, 0.02);
    EXPECT_EQ(Lines(Probe(dir / "rates.mov", "-select_streams v:0 -show_entries packet=duration_time"))[0], "0.083333");
}

TEST(CompressMovieFile, WatermarkAndFiltersGoOverEveryFrame) {
    const fs::path dir = ScratchDir();
    for (const FramePath& path : kFramePaths) {
        SCOPED_TRACE(path.name);
        auto job = OneSegment(path.codec, 1, 0x3FF);
        job->settings.watermarkFile = Spec(pictures::Picture(40, 20, "blue@0.5"));
        job->settings.watermarkPlacement = 12;  // bottom right
        ASSERT_EQ(Compress(path.source(), dir / "mark.mov", *job), noErr);
        const Frame f(dir / "mark.mov");
        EXPECT_NEAR(f.At(f.w - 10, f.h - 10)[2], 128, 12);  // half blue over black
        EXPECT_LT(f.At(f.w - 10, f.h - 10)[0], 12);
        EXPECT_LT(f.At(f.w - 50, f.h - 10)[2], 12);
        EXPECT_TRUE(f.IsRed(5, 5));  // the picture under it is still there
    }
    auto job = OneSegment(FourCC("png "), 1);
    job->filters.Append(std::make_unique<Handle>(MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}})));
    ASSERT_EQ(Compress(fixtures::RgbMarkerMovie(), dir / "grey.mov", *job), noErr);
    const uint8_t* corner = Frame(dir / "grey.mov").At(5, 5);  // was red, now grey
    EXPECT_NEAR(corner[0], corner[1], 3);
    EXPECT_NEAR(corner[1], corner[2], 3);
    EXPECT_GT(corner[0], 20);

    // A watermark that cannot be read leaves the frames without it.
    auto missing = OneSegment();
    missing->settings.watermarkFile = Spec(dir / "no-such.png");
    std::string message;
    EXPECT_EQ(Compress(MovieWithoutSound(), dir / "plain.mov", *missing, &message), noErr);
    EXPECT_TRUE(fs::exists(dir / "plain.mov"));
    EXPECT_NE(message.find("watermark"), std::string::npos) << message;
}

TEST(CompressMovieFile, CancelLeavesNoFileInEitherPass) {
    const fs::path dir = ScratchDir();
    for (const char* pass : {"video", "sound"}) {
        auto job = OneSegment();
        job->audio.Append(AacSegment());
        CancellingProgress progress(pass, 3);
        EXPECT_EQ(CompressMovieFile(Spec(MovieWithSound()), Spec(dir / "cancelled.mov"), job->settings, progress),
                  noErr);
        EXPECT_FALSE(fs::exists(dir / "cancelled.mov")) << pass;
        EXPECT_TRUE(NoTemporaryFileIn(dir)) << pass;
    }
}

TEST(CompressMovieFile, BadInputsGiveAnErrorAndNoFile) {
    const fs::path dir = ScratchDir();
    const fs::path header = ScratchCutOff(IndexFirstMovie(), ReadBytes(IndexFirstMovie()).find("mdat") + 4, "header.mp4");
    Job mixed;  // two codecs in one track: refused before anything is written
    mixed.video.Append(VideoSegment(kH264, 0x200, 0, 1.5));
    mixed.video.Append(VideoSegment(kMjpegA, 0x200, 1.5, 3));
    auto plain = OneSegment();
    // Source, destination, job, words the message names.
    const std::tuple<fs::path, fs::path, Job*, std::vector<std::string>> cases[] = {
        {MovieWithSound(), dir / "missing" / "out.mov", plain.get(), {""}},
        {MovieWithSound(), dir / "out.mov", &mixed, {"H.264", "Motion JPEG A"}},
        {header, dir / "out.mov", plain.get(), {"The pictures of \"header.mp4\" cannot be read: the file is damaged"}},
    };
    for (const auto& [source, destination, job, words] : cases) {
        std::string message;
        EXPECT_NE(Compress(source, destination, *job, &message), noErr) << source;
        EXPECT_FALSE(message.empty());
        for (const std::string& word : words) EXPECT_NE(message.find(word), std::string::npos) << message;
        EXPECT_FALSE(fs::exists(destination)) << source;
    }
    EXPECT_TRUE(NoTemporaryFileIn(dir));
}

TEST(CompressMovieFile, FullDiskGivesAnErrorAndLeavesTheOldFileAlone) {
    // A quarter-megabyte tmpfs mounted for the test; needs root.
    const fs::path small = ScratchDir() / "small";
    fs::create_directories(small);
    if (RunCommand("mount -t tmpfs -o size=256k tmpfs " + Q(small) + " 2>/dev/null") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    struct Unmount {
        fs::path where;
        ~Unmount() { RunCommand("umount " + Q(where)); }
    } unmount{small};
    WriteBytes(small / "out.mov", "the user's old movie");
    auto job = OneSegment(FourCC("png "));  // lossless pictures: megabytes
    job->audio.Append(AacSegment());
    std::string message;
    EXPECT_NE(Compress(MovieWithSound(), small / "out.mov", *job, &message), noErr);
    EXPECT_NE(message.find("No space left"), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(small / "out.mov"), "the user's old movie");
    size_t entries = 0;  // nothing else left behind to fill the disk
    for (const auto& entry : fs::directory_iterator(small)) entries += entry.is_regular_file();
    EXPECT_EQ(entries, 1u);
}

}  // namespace
