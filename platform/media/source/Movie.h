// A source movie: an opened container with its tracks, its time scale and
// duration, its box (display size), a playback position and rate, and the
// times of its visual samples.
//
// Times are in the movie's time scale (the mvhd time scale of QuickTime and
// ISO files, 600 for everything else). Movie time 0 is where the movie's
// first frame is shown: edit-list offsets and decoder delay are taken out.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/LException.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/source/MovieLayout.h"
#include "platform/media/source/MovieMatrix.h"
#include "platform/media/source/SourceErrors.h"

class MovieFrameRenderer;

constexpr int32_t kDefaultMovieTimeScale = 600;
constexpr int32_t kFixedOne = 0x10000;  // 1.0 as 16.16

class Movie {
public:
    // Throws LException: fnfErr (no such file), ioErr (cannot be read),
    // kNoMovieFoundErr (empty or not a movie), kInvalidMovieErr (a movie
    // whose index cannot be read, or truncated before any track).
    static std::unique_ptr<Movie> Open(const std::string& path);
    ~Movie();

    Movie(const Movie&) = delete;
    Movie& operator=(const Movie&) = delete;

    const std::string& Path() const { return mLayout.path; }
    const MovieLayout& Layout() const { return mLayout; }

    int32_t TimeScale() const { return mLayout.timeScale; }
    int64_t Duration() const { return mLayout.duration; }

    // Display size: pixel aspect and the track's display rotation applied.
    int BoxWidth() const { return mLayout.boxWidth; }
    int BoxHeight() const { return mLayout.boxHeight; }
    MovieRect Box() const { return MovieRect::OfSize(mLayout.boxWidth, mLayout.boxHeight); }

    bool HasVideo() const { return mLayout.videoStream >= 0; }  // 'eyes'
    bool HasAudio() const { return mLayout.audioStream >= 0; }  // 'ears'
    double VideoFrameRate() const { return mLayout.frameRate; }

    // Playback position, clamped to [0, Duration()].
    int64_t CurrentTime() const { return mCurrentTime; }
    void SetCurrentTime(int64_t time);
    // 16.16 fixed point; 0 stopped, 0x10000 normal speed, negative backwards.
    int32_t Rate() const { return mRate; }
    void SetRate(int32_t rate);
    // Advances the current time by the wall-clock time since the rate was
    // set or the time last changed, at the current rate. Stops (rate 0) at
    // the end, or at 0 when playing backwards.
    void Task();

    // The next visual sample time after `time` (direction > 0) or the
    // previous one before it (direction < 0); -1 when there is none. From
    // the container's sample index, not from decoding.
    int64_t NextVisualSampleTime(int64_t time, int direction) const;
    // Every visual sample time in presentation order (movie time scale).
    const std::vector<int64_t>& VisualSampleTimes() const;

    // The frame at the current time, drawn upright at box size into
    // `world` (allocated to the box when its size differs). noErr, or an
    // error code when the movie has no video or the frame cannot be decoded.
    OSErr DrawCurrentFrame(OffscreenWorld& world);

    // For tests: replaces the clock Task() reads.
    using Clock = std::chrono::steady_clock;
    void SetClockForTesting(Clock::time_point (*now)()) { mNow = now; }

private:
    Movie() = default;
    void Anchor();

    struct Index;
    MovieLayout mLayout;
    std::unique_ptr<Index> mIndex;
    std::unique_ptr<MovieFrameRenderer> mPictureRenderer;  // made on first use

    int64_t mCurrentTime = 0;
    int32_t mRate = 0;
    Clock::time_point (*mNow)() = &Clock::now;
    Clock::time_point mAnchorClock{};
    int64_t mAnchorTime = 0;
};
