// Progress of a compression on a terminal: the status, a bar, the
// percentage, frames per second, time taken and left, and the size so far
// on standard error, redrawn in place (a line every 10 % in logs). Ctrl-C
// is the job's own business (StopSignals).
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "compress/CompressionProgress.h"

class TerminalProgress : public CompressionProgress {
public:
    explicit TerminalProgress(std::FILE* out = stderr);

    void Open(const std::string& title) override;
    void Close() override;
    void SetStatus(const std::string& text) override;
    void SetBar(int percent) override;
    int32_t Poll() override;
    void Warn(const std::string& text) override;

protected:
    void GraphChanged() override;

private:
    void Redraw();
    std::string Figures() const;

    std::FILE* mOut;
    std::string mStatus;
    bool mIsTerminal = false;
    int mLastDrawnPercent = -1;
    std::chrono::steady_clock::time_point mStart = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point mLastDrawn;
    size_t mFramesSeen = 0, mChunksSeen = 0;  // samples of the graph already counted
    int64_t mBytes = 0;
};
