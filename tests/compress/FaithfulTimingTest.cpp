// The output shows the right source picture at the right time, for sources
// made the way cameras, phones and other tools make them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "support/CompressJob.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace compressfixtures;
using namespace testsupport;

namespace {

// Every frame a different picture: the test pattern with its grey levels
// moved by 53 a frame, so a wrong frame is far below 35 dB.
std::string Identity(const char* rate, int seconds) {
    return std::string("-f lavfi -i \"testsrc=s=160x120:r=") + rate + ":d=" + std::to_string(seconds) +
           ",format=yuv420p,geq=lum='mod(lum(X\\,Y)+N*53\\,256)':cb='cb(X\\,Y)':cr='cr(X\\,Y)'";
}
const std::string kH264WithBFrames = " -c:v libx264 -preset veryfast -crf 12 -x264-params bframes=2:b-adapt=0 ";
const std::string kVfr = " -fps_mode vfr -enc_time_base:v 1/90000 -video_track_timescale 90000";

struct Source {
    const char* file;
    std::string args;
};
const Source kSources[] = {
    {"timing-1000.mp4", Identity("30", 2) + "\"" + kH264WithBFrames + "-video_track_timescale 1000"},
    {"timing-90000.mp4", Identity("30", 2) + "\"" + kH264WithBFrames + "-movie_timescale 90000 -video_track_timescale 90000"},
    {"timing-ntsc.mp4", Identity("30000/1001", 2) + "\"" + kH264WithBFrames},
    {"timing-1000.mkv", Identity("30", 2) + "\"" + kH264WithBFrames},
    // Phone footage: jittered frame times with B-frames.
    {"timing-vfr.mp4", Identity("30", 2) + ",settb=1/90000,setpts='(N/30+0.01*sin(N*1.7))/TB'\"" + kH264WithBFrames + kVfr},
    // 30 fps, a second at 10 fps, 30 fps again.
    {"timing-30-10-30.mp4", Identity("30", 3) +
                                ",settb=1/90000,setpts='if(lt(N\\,30)\\,N/30\\,if(lt(N\\,40)\\,1+(N-30)/10\\,2+(N-40)/30))/TB'\""
                                " -frames:v 70" + kH264WithBFrames + kVfr},
};

// Compresses the first four seconds to H.264 with the sound converted to AAC
// (or copied) and gives the warnings the job gave.
std::vector<std::string> WarningsOf(const fs::path& source, const fs::path& out, bool convertSound) {
    Job job;
    job.video.Append(VideoSegment(FourCC("avc1"), 0x200, 0, 4));
    if (convertSound) job.audio.Append(AacSegment());
    SilentProgress progress;
    std::string message;
    EXPECT_EQ(Compress(source, out, job, &message, &progress), noErr) << message;
    return progress.Warnings();
}

// The last source frame whose time is at or before t.
size_t ShownAt(const std::vector<double>& times, double t) {
    const auto after = std::upper_bound(times.begin(), times.end(), t);
    return after == times.begin() ? 0 : size_t(after - times.begin() - 1);
}

}  // namespace

class FaithfulFrames : public ::testing::TestWithParam<std::tuple<int, double>> {};

TEST_P(FaithfulFrames, EachOutputFrameShowsTheSourceFrameOfItsTime) {
    const auto [which, rate] = GetParam();
    const fs::path source = FixtureMovie(kSources[which].file, kSources[which].args);
    Job job;
    job.video.Append(VideoSegment(FourCC("avc1"), 0x3FF, 0, 10, uint32_t(rate * 65536)));
    const fs::path out = ScratchDir() / "out.mov";
    ASSERT_EQ(Compress(source, out, job), noErr);

    const DecodedFrames in = DecodeFrames(source), got = DecodeFrames(out);
    ASSERT_EQ(got.grey.size(), got.times.size());
    ASSERT_GT(got.times.size(), 20u);
    if (rate == 0) {  // as the source: every frame once, at its own time
        ASSERT_EQ(got.times.size(), in.times.size());
        for (size_t n = 0; n < in.times.size(); ++n) {
            EXPECT_NEAR(got.times[n], in.times[n], 0.001) << "frame " << n;
            EXPECT_GE(Psnr(got.grey[n], in.grey[n]), 35.0) << "frame " << n;
        }
        return;
    }
    // Source stamps are rounded to their time base: a frame counts from
    // half a unit before its stamp, at most a millisecond.
    int num = 1, den = 1;
    std::sscanf(Probe(source, "-select_streams v:0 -show_entries stream=time_base").c_str(), "%d/%d", &num, &den);
    const double allowance = std::min(0.5 * num / den, 0.001) + 2e-6;  // and ffprobe's microseconds
    for (size_t n = 0; n < got.times.size(); ++n)
        EXPECT_GE(Psnr(got.grey[n], in.grey[ShownAt(in.times, got.times[n] + allowance)]), 35.0)
            << "output frame " << n << " at " << got.times[n] << " s";
}

INSTANTIATE_TEST_SUITE_P(SourcesAndRates, FaithfulFrames,
                         ::testing::Combine(::testing::Range(0, int(std::size(kSources))),
                                            ::testing::Values(0.0, 30.0, 15.0, 24.0)));

// Ten cuts between frame times, then a flash and a beep together at 5 s:
// they stay together, with the sound converted or copied.
class CutSync : public ::testing::TestWithParam<bool> {};

TEST_P(CutSync, SoundAndPictureStayWithinHalfAFrameAfterTenCuts) {
    const fs::path source = FixtureMovie(
        "timing-flash-beep.mov",
        "-f lavfi -i \"color=black:s=160x120:r=30:d=6,drawbox=c=white:t=fill:enable='gte(t\\,5)'\" "
        "-f lavfi -i \"aevalsrc='if(gte(t\\,5)\\,0.5*sin(2*PI*1000*t)\\,0)':s=48000:d=6\" "
        "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -b:a 128k");
    Job job;
    job.video.Append(VideoSegment(FourCC("avc1"), 0x200, 0, 6));
    if (GetParam()) job.audio.Append(AacSegment());
    // Between frames; each from just after the start of a 1024-sample sound
    // packet to just before the end of another, where keeping whole packets
    // by their start time would gain most of a packet at every cut.
    for (int k = 0; k < 10; ++k) job.Exclude((129.5 + 192 * k) / 600, (217.5 + 192 * k) / 600);
    const double cut = 10 * 88 / 600.0;
    const fs::path out = ScratchDir() / "cut.mov";
    ASSERT_EQ(Compress(source, out, job), noErr);

    const DecodedFrames frames = DecodeFrames(out);
    size_t flash = 0;
    while (flash < frames.grey.size() && frames.grey[flash][80 * 60] < 128) ++flash;
    ASSERT_LT(flash, frames.grey.size());
    const std::string pcm = CaptureCommand("ffmpeg -nostdin -v error -i " + Q(out) + " -map 0:a:0 -ac 1 -f f32le -");
    const float* samples = reinterpret_cast<const float*>(pcm.data());
    size_t beep = 0;
    while (beep < pcm.size() / 4 && std::abs(samples[beep]) < 0.1f) ++beep;
    ASSERT_LT(beep, pcm.size() / 4);
    const double soundStart = std::stod(Probe(out, "-select_streams a:0 -show_entries stream=start_time"));
    const double beepTime = soundStart + double(beep) / std::stoi(Probe(out, "-select_streams a:0 -show_entries stream=sample_rate"));
    EXPECT_NEAR(frames.times[flash], 5.0 - cut, 1.0 / 60);
    // Converted sound is exact to the sample; copied sound to half a packet.
    EXPECT_NEAR(beepTime, frames.times[flash], GetParam() ? 0.003 : 1.0 / 60);
}

INSTANTIATE_TEST_SUITE_P(ConvertedAndCopied, CutSync, ::testing::Bool());

// A movie cut off half way keeps what can be read and names what cannot,
// with the sound converted or copied (none at all: CompressMovieFileTest),
// from a file whose header gives each track's length (.mp4) and from one
// that gives only the movie's (.mkv).
class DamagedSource : public ::testing::TestWithParam<std::tuple<bool, const char*>> {};

TEST_P(DamagedSource, WhatCannotBeReadIsNamed) {
    const auto [convertSound, kind] = GetParam();
    const fs::path whole = kind == std::string("mp4") ? IndexFirstMovie()
        : FixtureMovie("cut-source.mkv", "-i " + Q(IndexFirstMovie()) + " -c copy");
    const std::string halfName = std::string("half.") + kind;
    const fs::path half = ScratchCutOff(whole, fs::file_size(whole) / 2, halfName);
    const fs::path out = ScratchDir() / "out.mov";
    const std::vector<std::string> warnings = WarningsOf(half, out, convertSound);
    EXPECT_TRUE(DecodesCleanly(out));
    // The pictures ffmpeg can read, and the warning starts where they end.
    const std::vector<double> readable = DecodeFrames(half).times;
    ASSERT_GT(readable.size(), 20u);
    EXPECT_NEAR(DurationSeconds(out, "v:0"), readable.back() + 1.0 / 30, 0.07);
    ASSERT_EQ(warnings.size(), 1u);
    const std::string& warning = warnings[0];
    int minutes = -1;
    double from = -1;
    EXPECT_EQ(std::sscanf(warning.c_str(), ("\"" + halfName + "\" is damaged or incomplete: its pictures from %d:%lf").c_str(),
                          &minutes, &from), 2) << warning;
    EXPECT_NEAR(minutes * 60 + from, DurationSeconds(out, "v:0"), 0.02);
    EXPECT_NE(warning.find(" to 0:04.0"), std::string::npos) << warning;
    EXPECT_NE(warning.find(" and its sound from 0:0"), std::string::npos) << warning;
    EXPECT_NE(warning.find(" cannot be read, so the output leaves them out."), std::string::npos) << warning;

    // Whole movies whose sound outlasts their pictures are no damage.
    for (const char* name : {"timing-long-sound.mkv", "timing-long-sound.mp4", "timing-long-sound.ts"}) {
        const fs::path whole = FixtureMovie(name, "-f lavfi -i testsrc2=s=160x120:r=30:d=2 -f lavfi -i sine=d=3 "
                                                  "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac");
        EXPECT_EQ(WarningsOf(whole, out, convertSound), std::vector<std::string>{}) << name;
    }
}

// Damage inside a file is decoded past, and named.
TEST(DamagedInside, UndecodableSpanIsNamed) {
    std::string bytes = ReadBytes(IndexFirstMovie());
    for (size_t i = bytes.size() * 6 / 10, n = 0; n < 4000 && i < bytes.size(); ++i, ++n) bytes[i] = char(n * 151 % 251);
    const fs::path damaged = ScratchDir() / "inside.mp4";
    WriteBytes(damaged, bytes);
    const std::vector<std::string> warnings = WarningsOf(damaged, ScratchDir() / "inside.mov", true);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("\"inside.mp4\" is damaged: its ", 0), 0u) << warnings[0];
    EXPECT_NE(warnings[0].find(" could not all be decoded, so the output may have faults there."),
              std::string::npos);
}

// Recordings joined end to end: the second one's times start over, so it
// has no place in the movie's time; that is said, not passed over.
TEST(DamagedInside, TimesThatStartOverAreNamed) {
    const std::string part = ReadBytes(FixtureMovie("timing-part.ts", "-f lavfi -i testsrc2=s=160x120:r=25:d=1"));
    const fs::path joined = ScratchDir() / "joined.ts", out = ScratchDir() / "joined.mov";
    WriteBytes(joined, part + part);
    EXPECT_EQ(WarningsOf(joined, out, false),
              std::vector<std::string>{"\"joined.ts\" has times that start over after 0:01.00 (recordings joined end "
                                       "to end?): only the part before is in the output."});
    EXPECT_NEAR(DurationSeconds(out, "v:0"), 1.0, 0.05);
}

INSTANTIATE_TEST_SUITE_P(ConvertedAndCopied, DamagedSource, ::testing::Combine(::testing::Bool(), ::testing::Values("mp4", "mkv")),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Converted_" : "Copied_") + std::get<1>(info.param);
                         });
