// How long a frame step takes in the preview's decoding, against one frame
// of a straight decode, in the same run: 1080p H.264 with a key frame every
// 250 frames and B-frames, as encoders make them by default.
//
//   movelark_step_bench WORK-FOLDER
//
// Makes its movie in WORK-FOLDER once (ffmpeg). Steps back across a key
// frame and forward again with the key held (30 steps a second, the time
// between steps left to the background) and as fast as the steps can go.
// Prints each step's mean and worst time and their ratios to one straight
// frame; exits 1 when a held-key step costs more than five straight frames.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/media/source/DecodedFrameCache.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kAllowedRatio = 5.0;
constexpr auto kKeyRepeat = std::chrono::milliseconds(33);

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

fs::path MakeMovie(const fs::path& folder) {
    const fs::path movie = folder / "step_1080p_gop250.mov";
    if (fs::exists(movie)) return movie;
    fs::create_directories(folder);
    const fs::path partial = folder / "step_1080p_gop250.partial.mov";
    const std::string command = "ffmpeg -y -v error -f lavfi -i testsrc2=size=1920x1080:rate=25:duration=24 "
                                "-c:v libx264 -preset veryfast -g 250 -bf 3 -pix_fmt yuv420p '" +
                                partial.string() + "'";
    std::printf("making %s ...\n", movie.c_str());
    if (std::system(command.c_str()) != 0) return {};
    fs::rename(partial, movie);
    return movie;
}

struct Steps {
    double mean = 0, worst = 0;
};

// Steps one frame at a time from `from` to `to` (sample indexes); with
// `held`, at the key's repeat rate.
Steps Step(const Movie& movie, size_t from, size_t to, bool held) {
    const std::vector<int64_t>& times = movie.VisualSampleTimes();
    DecodedFrameCache cache(movie);
    OffscreenWorld world(movie.BoxWidth(), movie.BoxHeight(), OffscreenWorld::Format::RGB24);
    cache.DrawFrameAt(times[from], world);
    cache.FillAround(times[from]);
    cache.WaitUntilFilled(std::chrono::seconds(60));  // the user looks at the frame first
    Steps steps;
    const int direction = to > from ? 1 : -1;
    size_t count = 0;
    for (size_t i = from; i != to;) {
        i += direction;
        const Clock::time_point start = Clock::now();
        cache.DrawFrameAt(times[i], world);
        cache.FillAround(times[i]);
        const double took = Milliseconds(Clock::now() - start);
        steps.mean += took;
        steps.worst = std::max(steps.worst, took);
        ++count;
        if (held) std::this_thread::sleep_until(start + kKeyRepeat);
    }
    steps.mean /= double(count);
    return steps;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WORK-FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path file = MakeMovie(argv[1]);
    if (file.empty()) {
        std::fprintf(stderr, "ffmpeg could not make the movie\n");
        return 2;
    }
    auto movie = Movie::Open(file.string());
    const std::vector<int64_t>& times = movie->VisualSampleTimes();
    if (times.size() < 600) return 2;

    // One frame of a straight decode, drawn as the preview draws it.
    MovieFrameRenderer straight(*movie);
    OffscreenWorld world(movie->BoxWidth(), movie->BoxHeight(), OffscreenWorld::Format::RGB24);
    straight.DrawFrameAt(times[0], world);
    const Clock::time_point start = Clock::now();
    constexpr size_t kStraightFrames = 100;
    for (size_t i = 1; i <= kStraightFrames; ++i) straight.DrawFrameAt(times[i], world);
    const double frame = Milliseconds(Clock::now() - start) / kStraightFrames;

    // From the middle of the second key-frame interval back into the first.
    const Steps back = Step(*movie, 420, 200, true);
    const Steps forward = Step(*movie, 200, 320, true);
    const Steps rapid = Step(*movie, 420, 200, false);

    std::printf("straight decode: %.2f ms a frame (1920x1080, key frame every 250)\n", frame);
    auto report = [frame](const char* what, const Steps& s) {
        std::printf("%-28s mean %7.2f ms (ratio %5.2f), worst %7.2f ms (ratio %5.2f)\n", what, s.mean, s.mean / frame,
                    s.worst, s.worst / frame);
    };
    report("step back, key held:", back);
    report("step forward, key held:", forward);
    report("step back, no pause:", rapid);
    const bool fast = back.mean / frame <= kAllowedRatio && forward.mean / frame <= kAllowedRatio;
    std::printf("%s\n", fast ? "OK: a held-key step costs at most five straight frames"
                             : "TOO SLOW: a held-key step costs more than five straight frames");
    return fast ? 0 : 1;
}
