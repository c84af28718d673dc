#include "compress/DataRateTracker.h"

#include <algorithm>
#include <climits>

void DataRateTracker::Reset(Mode mode) {
    mMode = mode;
    mScale = 1.0f;
    mBaseline = 0;
    mTimeMarkInterval = mode == kAudio ? 8400 : 600;
}

void DataRateTracker::AddFrame(int32_t size, int32_t duration600, bool keyFrame) {
    mVideo.push_back({size, duration600, keyFrame});
}

void DataRateTracker::AddSoundChunk(int32_t size, int32_t duration600) {
    mAudio.push_back({size, duration600, false});
}

DataRateTracker::Window DataRateTracker::WindowFor(int plotWidth) const {
    const size_t count = ShownSamples().size();
    const size_t fit = plotWidth > 0 ? size_t(plotWidth / kPixelsPerSample) : 0;
    if (fit >= count) return {0, count};
    return {count - fit, fit};
}

// Bytes of this sample and the ones before it, walking back until a whole
// second is covered or the list begins.
int32_t DataRateTracker::OneSecondTotal(size_t index) const {
    const auto& samples = ShownSamples();
    int64_t total = 0;
    int64_t covered = 0;
    for (size_t i = index + 1; i-- > 0;) {
        total += samples[i].size;
        covered += samples[i].duration;
        if (covered >= 600) break;
    }
    return int32_t(std::min<int64_t>(total, INT32_MAX));
}

DataRateLayout DataRateTracker::Layout(int viewWidth, int viewHeight) {
    DataRateLayout out;
    out.plotLeft = kLeftMargin;
    out.plotTop = 0;
    out.plotRight = viewWidth;
    out.plotBottom = viewHeight - kBottomMargin;
    const int plotWidth = out.plotRight - out.plotLeft;
    const int plotHeight = out.plotBottom - out.plotTop;
    const auto& samples = ShownSamples();
    const Window window = WindowFor(plotWidth);

    // Vertical range over the shown samples.
    int32_t smallest = 100000;
    int32_t largest = 0;
    for (size_t i = 0; i < window.count; ++i) {
        smallest = std::min(smallest, samples[window.first + i].size);
        largest = std::max(largest, samples[window.first + i].size);
    }
    int32_t baseline = smallest;
    int32_t peak = 0;
    const size_t stride = std::max<size_t>(1, window.count / 8);
    for (size_t i = 0; i < window.count; i += stride) peak = std::max(peak, OneSecondTotal(window.first + i));
    const int32_t margin = (largest - baseline) / 10;
    baseline -= margin;
    largest += margin;
    if (largest < peak / 10) largest = peak / 10;
    int32_t step = 10240;
    while ((largest - baseline) / step > 5 && step <= INT32_MAX / 10) step *= 10;
    largest = ((largest + step) / step) * step;
    baseline = ((baseline - step) / step) * step;
    if (baseline < 0) baseline = 0;

    const int32_t range = std::max(1, largest - baseline);
    const float newScale = float(plotHeight) / float(range);
    if (mScale <= 0.0f || newScale / mScale > 1.1f || mScale / newScale > 1.1f) mScale = newScale;
    mBaseline = baseline;
    out.baseline = baseline;
    out.largest = largest;
    out.step = step;
    out.scale = mScale;

    auto heightOf = [&](int64_t value) { return int(float(value - baseline) * mScale); };

    for (int64_t v = (int64_t(baseline) / step + 1) * step; v <= largest; v += step)
        out.ticks.push_back({int32_t(v), out.plotBottom - heightOf(v)});

    // Time marks: the running total starts with the samples before the window.
    int64_t total = 0;
    for (size_t i = 0; i < window.first; ++i) total += samples[i].duration;
    int64_t nextMark = (total / mTimeMarkInterval + 1) * mTimeMarkInterval;
    int lastMarkX = -1000000;
    for (size_t i = 0; i < window.count; ++i) {
        total += samples[window.first + i].duration;
        if (total < nextMark) continue;
        const int x = out.plotLeft + kPixelsPerSample * int(i);
        if (x - lastMarkX < 40) {
            mTimeMarkInterval += 600;
        } else {
            out.timeMarks.push_back({x, int32_t(total / mTimeMarkInterval * mTimeMarkInterval)});
            lastMarkX = x;
        }
        nextMark = (total / mTimeMarkInterval + 1) * mTimeMarkInterval;
    }

    for (size_t i = 0; i < window.count; ++i) {
        const SDataInfo& s = samples[window.first + i];
        const int x = out.plotLeft + kPixelsPerSample * int(i);
        out.bars.push_back({x, out.plotBottom - heightOf(s.size), s.keyFrame});
        out.rateLine.push_back({x, out.plotBottom - heightOf(OneSecondTotal(window.first + i) / 10)});
    }
    return out;
}
