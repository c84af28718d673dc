#include "CompressJob.h"

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
    return FixtureMovie("job-silent.mp4", "-f lavfi -i testsrc2=s=320x240:r=30:d=3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p");
}

fs::path MarkerMovie() {
    return FixtureMovie("job-marker.mov",
                        "-f lavfi -i color=c=black:s=160x120:r=10:d=1 "
                        "-vf drawbox=x=0:y=0:w=20:h=20:color=red:t=fill -c:v png");
}

fs::path YuvMarkerMovie() {
    return FixtureMovie("job-marker-yuv.mp4",
                        "-f lavfi -i color=c=black:s=160x120:r=10:d=1 "
                        "-vf drawbox=x=0:y=0:w=20:h=20:color=red:t=fill -c:v libx264 -qp 0 -pix_fmt yuv420p");
}

fs::path Bt709Movie() {
    return FixtureMovie("job-bt709.mp4",
                        "-f lavfi -i color=c=black:s=160x120:r=10:d=1 "
                        "-vf drawbox=x=0:y=0:w=80:h=120:color=red:t=fill,"
                        "drawbox=x=80:y=0:w=80:h=120:color=green:t=fill,"
                        "scale=out_color_matrix=bt709:out_range=tv "
                        "-c:v libx264 -qp 0 -pix_fmt yuv420p -colorspace bt709 -color_primaries bt709 "
                        "-color_trc bt709");
}

fs::path WatermarkPicture() {
    return FixtureMovie("job-watermark.png", "-f lavfi -i color=c=blue@0.5:s=40x20,format=rgba -frames:v 1");
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

}  // namespace compressfixtures
