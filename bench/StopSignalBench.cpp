// How quickly a stop signal ends a 1080p run through the real program:
// stopping must not wait for the frames the encoder holds back. Measured
// against the time one frame takes in the same run; a wall-clock bound, so
// it runs as a benchmark (ctest label perf), not in CI.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <iostream>

#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

TEST(StopSignalSpeed, EndsA1080pRunWithinFifteenFramesTime) {
    const fs::path source = FixtureMovie(
        "safety-1080p.mov", "-f lavfi -i testsrc2=s=1920x1080:r=25:d=8 -c:v mjpeg -q:v 10");  // 200 frames
    const fs::path dir = ScratchDir();
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t pid = Spawn({MovelarkBinary().string(), "compress", source.string(), "-o", (dir / "big.mp4").string()},
                            "/proc/self/fd/" + std::to_string(pipeEnds[1]));
    close(pipeEnds[1]);

    // Progress comes every 10 %, i.e. every 20 frames; from 20 % on the
    // encoder is past its start-up and every frame costs a whole encode.
    std::string text;
    Clock::time_point at20, at40;
    char buffer[512];
    for (ssize_t n; at40 == Clock::time_point() && (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, size_t(n));
        if (at20 == Clock::time_point() && text.find(" 20%") != std::string::npos) at20 = Clock::now();
        if (text.find(" 40%") != std::string::npos) at40 = Clock::now();
    }
    ASSERT_NE(at40, Clock::time_point()) << text;
    kill(pid, SIGINT);
    const int status = WaitFor(pid);
    const double stopping = std::chrono::duration<double>(Clock::now() - at40).count();
    close(pipeEnds[0]);
    const double frame = std::chrono::duration<double>(at40 - at20).count() / 40;
    std::cout << "one frame " << frame * 1000 << " ms, stopping " << stopping * 1000 << " ms\n";
    EXPECT_EQ(status, 128 + SIGINT);
    EXPECT_LE(stopping, 15 * frame);
    EXPECT_TRUE(FileNames(dir).empty()) << "a temporary file was left";
}

}  // namespace
