#include "CompressJob.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "compress/CompressMovieFile.h"
#include "support/TestSupport.h"
#include "model/DescriptionTime.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

namespace fs = std::filesystem;
using namespace testsupport;

namespace compressfixtures {

fs::path MovieWithSound() {
    return FixtureMovie("job-sound.mov",
                        "-f lavfi -i testsrc2=s=320x240:r=30:d=3 -f lavfi -i sine=f=440:r=44100:d=3 "
                        "-ac 2 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest");
}

fs::path MovieWithoutSound() {
    return FixtureMovie("job-silent.mp4", "-i " + Q(MovieWithSound()) + " -an -c copy");
}

std::unique_ptr<Handle> VideoSegment(uint32_t codec, int32_t quality, double startSeconds, double endSeconds,
                                     uint32_t frameRate1616) {
    auto h = std::make_unique<Handle>(MakeVideoSettings(codec, quality, 0, 0, frameRate1616));
    SetDescriptionTime(h.get(), STimeValue{int32_t(startSeconds * 600), 600},
                       STimeValue{int32_t(endSeconds * 600), 600});
    return h;
}

std::unique_ptr<Handle> AacSegment(int bitRate) {
    return std::make_unique<Handle>(
        MakeSoundSettings(FourCC("aac "), 2, 16, 44100, {{"bitrate", std::to_string(bitRate)}}));
}

Job::Job() {
    settings.videoSegments = &video;
    settings.audioSegments = &audio;
    settings.filters = &filters;
    settings.excludedRanges = &excluded;
}

void Job::Exclude(double startSeconds, double endSeconds) {
    ranges.push_back(std::make_unique<TimeRange>(STimeValue{int32_t(startSeconds * 600), 600},
                                                 STimeValue{int32_t(endSeconds * 600), 600}));
    excluded.Append(ranges.back().get());
}

OSErr Compress(const fs::path& source, const fs::path& dest, Job& job, std::string* message,
               CompressionProgress* progress) {
    SilentProgress silent;
    return CompressMovieFile(Spec(source), Spec(dest), job.settings, progress ? *progress : silent, message);
}

DecodedFrames DecodeFrames(const fs::path& movie) {
    DecodedFrames frames;
    frames.times = FrameTimes(movie);
    int width = 0, height = 0;
    std::sscanf(Probe(movie, "-select_streams v:0 -show_entries stream=width,height").c_str(), "%d\n%d", &width, &height);
    const std::string grey = CaptureCommand("ffmpeg -nostdin -v error -i " + Q(movie) +
                                            " -map 0:v:0 -fps_mode passthrough -enc_time_base:v -1 -f rawvideo -pix_fmt gray -");
    const size_t size = size_t(width) * height;
    for (size_t at = 0; size > 0 && at + size <= grey.size(); at += size)
        frames.grey.emplace_back(grey.begin() + at, grey.begin() + at + size);
    return frames;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += double(a[i] - b[i]) * (a[i] - b[i]);
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}

}  // namespace compressfixtures
