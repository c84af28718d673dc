// Progress of a compression on a terminal: the status and a bar on standard
// error, redrawn in place. Ctrl-C asks the job to cancel at its next poll
// instead of killing the process, so the temporary file is cleaned up.
#pragma once

#include <cstdio>
#include <string>

#include "compress/CompressionProgress.h"

class TerminalProgress : public CompressionProgress {
public:
    explicit TerminalProgress(std::FILE* out = stderr);
    ~TerminalProgress() override;

    void Open(const std::string& title) override;
    void Close() override;
    void SetStatus(const std::string& text) override;
    void SetBar(int percent) override;
    int32_t Poll() override;

    // True once SIGINT or SIGTERM arrived while this object was alive.
    static bool Interrupted();

private:
    void Redraw();

    std::FILE* mOut;
    std::string mStatus;
    bool mIsTerminal = false;
    int mLastDrawnPercent = -1;
};
