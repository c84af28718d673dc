// The numbers behind the live data-rate graph of the progress window: the
// size and duration of every compressed frame and sound block, and the
// arithmetic that turns the most recent of them into a plot (which samples
// fit, the vertical scale with its hysteresis, axis ticks, time marks, bars
// and the one-second rate line). The graph view only draws what this
// computes, so the whole graph can be checked without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SDataInfo {
    int32_t size = 0;      // bytes
    int32_t duration = 0;  // 1/600 second
    bool keyFrame = false;
};

// Everything needed to draw one state of the graph, in pixels relative to
// the view's frame (origin top-left).
struct DataRateLayout {
    struct Tick { int32_t value; int y; };           // axis label value (bytes) and its height
    struct TimeMark { int x; int32_t time; };        // 1/600 s, rounded down to the interval
    struct Bar { int x; int top; bool keyFrame; };   // from the plot bottom up to top
    struct Point { int x; int y; };

    int plotLeft = 0, plotTop = 0, plotRight = 0, plotBottom = 0;
    int32_t baseline = 0;
    int32_t largest = 0;
    int32_t step = 0;
    float scale = 1.0f;
    std::vector<Tick> ticks;
    std::vector<TimeMark> timeMarks;
    std::vector<Bar> bars;
    std::vector<Point> rateLine;
};

class DataRateTracker {
public:
    enum Mode : int32_t { kVideo = 0, kAudio = 1 };

    static constexpr int kLeftMargin = 32;
    static constexpr int kBottomMargin = 21;
    static constexpr int kPixelsPerSample = 3;

    // Starts showing one pass; the sample lists are kept.
    void Reset(Mode mode);
    void AddFrame(int32_t size, int32_t duration600, bool keyFrame);
    void AddSoundChunk(int32_t size, int32_t duration600);

    Mode CurrentMode() const { return mMode; }
    float Scale() const { return mScale; }
    int32_t TimeMarkInterval() const { return mTimeMarkInterval; }
    const std::vector<SDataInfo>& VideoSamples() const { return mVideo; }
    const std::vector<SDataInfo>& AudioSamples() const { return mAudio; }
    const std::vector<SDataInfo>& ShownSamples() const { return mMode == kAudio ? mAudio : mVideo; }

    // The window onto the shown list for a plot this wide: 0-based index of
    // the first sample shown and how many are shown.
    struct Window { size_t first; size_t count; };
    Window WindowFor(int plotWidth) const;

    // Computes the plot for a view of this size. Updates the stored scale
    // (with its 10 % hysteresis) and the time-mark interval, as drawing does.
    DataRateLayout Layout(int viewWidth, int viewHeight);

private:
    int32_t OneSecondTotal(size_t index) const;

    std::vector<SDataInfo> mVideo;
    std::vector<SDataInfo> mAudio;
    Mode mMode = kVideo;
    float mScale = 1.0f;
    int32_t mBaseline = 0;
    int32_t mTimeMarkInterval = 600;
};
