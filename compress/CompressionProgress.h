// What the compression job reports to while it runs: a status line, a
// percentage, the data-rate graph, and a poll that may say "cancel". The
// progress window implements it on screen; the command line on a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compress/DataRateTracker.h"

class CompressionProgress {
public:
    // The message the progress window's Cancel button sends.
    static constexpr int32_t kCancelMessage = 901;

    virtual ~CompressionProgress() = default;

    virtual void Open(const std::string& title) { (void)title; }
    virtual void Close() {}
    virtual void SetStatus(const std::string& text) = 0;
    virtual int Bar() const { return mBar; }
    virtual void SetBar(int percent) { mBar = percent; }
    // Lets the user interface breathe once; returns kCancelMessage when the
    // user asked to cancel since the last poll, else 0.
    virtual int32_t Poll() = 0;

    // Something the user must hear about although the run goes on (a
    // damaged source, a part left out). Kept, so that a window can show
    // them all after the run; a terminal says each at once.
    virtual void Warn(const std::string& text) { mWarnings.push_back(text); }
    const std::vector<std::string>& Warnings() const { return mWarnings; }

    // The graph: samples are kept here; a view redraws on GraphChanged.
    DataRateTracker& Graph() { return mGraph; }
    void ResetGraph(DataRateTracker::Mode mode) { mGraph.Reset(mode); GraphChanged(); }
    void AddFrame(int32_t size, int32_t duration600, bool keyFrame) {
        mGraph.AddFrame(size, duration600, keyFrame);
        GraphChanged();
    }
    void AddSoundChunk(int32_t size, int32_t duration600) {
        mGraph.AddSoundChunk(size, duration600);
        GraphChanged();
    }

protected:
    virtual void GraphChanged() {}

private:
    int mBar = 0;
    DataRateTracker mGraph;
    std::vector<std::string> mWarnings;
};

// Reports nothing and never cancels (tests, benchmarks with --quiet).
class SilentProgress : public CompressionProgress {
public:
    void SetStatus(const std::string&) override {}
    int32_t Poll() override { return 0; }
};
