#include "SourceMovies.h"

#include <cmath>
#include <cstring>

#include "support/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::CaptureCommand;
using testsupport::FixtureMovie;
using testsupport::ShellQuote;

namespace fixtures {

namespace {
const char* kMarkerSource =
    "-f lavfi -i \"color=black:s=160x120:r=10:d=3,"
    "drawbox=x=0:y=0:w=40:h=30:color=red:t=fill,drawbox=x=120:y=0:w=40:h=30:color=lime:t=fill\" ";
const std::string kCounting = "-f lavfi -i \"nullsrc=s=64x48:r=10:d=3,format=gray,geq=lum='16+N*6'\" "
                              "-c:v libx264 -qp 0 -bf 2 -g 8 -pix_fmt yuv420p";
}

fs::path MarkerMovie() {
    return FixtureMovie("marker.mov", std::string(kMarkerSource) + "-c:v libx264 -crf 12 -bf 2 -g 10 -pix_fmt yuv420p");
}

fs::path RgbMarkerMovie() { return FixtureMovie("marker_rgb.mov", std::string(kMarkerSource) + "-c:v png"); }

fs::path RotatedMarkerMovie() {
    return FixtureMovie("marker_rot90.mov",
                        "-i " + ShellQuote(MarkerMovie().string()) + " -c copy -metadata:s:v:0 rotate=90");
}

fs::path WidePixelMovie() {
    return FixtureMovie("marker_sar2.mov",
                        std::string(kMarkerSource) + "-vf setsar=2/1 -c:v mpeg4 -q:v 2");
}

fs::path CountingMovie(bool faststart) {
    return faststart ? FixtureMovie("counting_fast.mov", kCounting + " -movflags +faststart")
                     : FixtureMovie("counting.mov", kCounting);
}

fs::path TrimmedCountingMovie() {
    return FixtureMovie("counting_trimmed.mov", "-ss 1.05 -i " + ShellQuote(CountingMovie().string()) + " -c copy");
}

fs::path VariableRateMovie() {
    return FixtureMovie("vfr-bframes.mov",
                        "-f lavfi -i \"nullsrc=s=64x48:r=10:d=3,format=gray,geq=lum='16+N*6',"
                        "select='lt(mod(n\\,5)\\,2)'\" -fps_mode passthrough -c:v libx264 -crf 1 "
                        "-x264-params bframes=1:b-adapt=0 -pix_fmt yuv420p");
}

fs::path LongGopMovie() {
    return FixtureMovie("long_gop.mov", "-f lavfi -i testsrc2=s=96x64:r=25:d=12 -c:v libx264 -g 250 -bf 3 -pix_fmt yuv420p");
}

fs::path VariableRateBFrameMovie() {
    return FixtureMovie("vfr_bframes_1000.mp4",
                        "-f lavfi -i \"testsrc2=s=96x64:r=30:d=6,select='lt(mod(n\\,5)\\,3)'\" -fps_mode passthrough "
                        "-c:v libx264 -g 90 -bf 3 -pix_fmt yuv420p -video_track_timescale 1000");
}

fs::path MovieWithSound() {
    return FixtureMovie("with_sound.mp4",
                        "-f lavfi -i testsrc2=s=160x120:r=10:d=2 -f lavfi -i sine=frequency=440:sample_rate=44100:d=2 "
                        "-c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 96k -shortest");
}

fs::path MovieWithoutSound() {
    return FixtureMovie("without_sound.mp4", "-i " + ShellQuote(MovieWithSound().string()) + " -an -c copy");
}

fs::path SoundOnlyPcm() {
    return FixtureMovie("tone_pcm.mov",
                        "-f lavfi -i \"sine=frequency=300:sample_rate=48000:d=2.5\" "
                        "-f lavfi -i \"sine=frequency=500:sample_rate=48000:d=2.5\" "
                        "-filter_complex \"[0:a][1:a]join=inputs=2:channel_layout=stereo\" -c:a pcm_s16le");
}

fs::path SoundOnlyAac() {
    return FixtureMovie("tone_aac.mp4", "-f lavfi -i \"sine=frequency=1000:sample_rate=44100:d=3\" -c:a aac -b:a 96k");
}

fs::path CountingMatroska() { return FixtureMovie("counting.mkv", kCounting); }

std::vector<float> ReferenceSound(const fs::path& movie) {
    std::string raw = CaptureCommand("ffmpeg -nostdin -v error -i " + ShellQuote(movie.string()) +
                                     " -map 0:a:0 -f f32le -");
    std::vector<float> samples(raw.size() / sizeof(float));
    std::memcpy(samples.data(), raw.data(), samples.size() * sizeof(float));
    return samples;
}

std::string DecodedChecksums(const fs::path& movie) {
    return CaptureCommand("ffmpeg -nostdin -v error -i " + ShellQuote(movie.string()) + " -f framemd5 - 2>&1");
}

double DifferenceFromFrame(const OffscreenWorld& w, const fs::path& movie, int index) {
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = testsupport::FramePixels(movie, index, width, height);
    if (w.Width() != width || w.Height() != height || rgb.size() < size_t(width) * height * 3) return 255;
    double sum = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x) sum += std::abs(int(w.Row(y)[x]) - int(rgb[size_t(y) * width * 3 + x]));
    return sum / (double(width) * height * 3);
}

int FrameNumberShown(const OffscreenWorld& w) {
    // The grey source is full range: level 16 + 6N comes back as itself.
    return int(std::lround((w.Row(w.Height() / 2)[w.BytesPerPixel() * (w.Width() / 2)] - 16) / 6.0));
}

}  // namespace fixtures
