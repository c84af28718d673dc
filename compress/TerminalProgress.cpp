#include "compress/TerminalProgress.h"

#include <csignal>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
struct sigaction gOldInt, gOldTerm;

void OnInterrupt(int) { gInterrupted = 1; }

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out) : mOut(out) {
    mIsTerminal = out && isatty(fileno(out));
    gInterrupted = 0;
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &gOldInt);
    sigaction(SIGTERM, &sa, &gOldTerm);
}

TerminalProgress::~TerminalProgress() {
    sigaction(SIGINT, &gOldInt, nullptr);
    sigaction(SIGTERM, &gOldTerm, nullptr);
}

bool TerminalProgress::Interrupted() { return gInterrupted != 0; }

void TerminalProgress::Open(const std::string& title) {
    if (mOut) std::fprintf(mOut, "%s\n", title.c_str());
}

void TerminalProgress::Close() {
    if (mOut && mIsTerminal && mLastDrawnPercent >= 0) std::fputc('\n', mOut);
    mLastDrawnPercent = -1;
}

void TerminalProgress::SetStatus(const std::string& text) {
    if (text == mStatus) return;
    if (mOut && mIsTerminal && mLastDrawnPercent >= 0) std::fputc('\n', mOut);
    mStatus = text;
    mLastDrawnPercent = -1;
    if (mOut && !mIsTerminal) std::fprintf(mOut, "%s\n", text.c_str());
    Redraw();
}

void TerminalProgress::SetBar(int percent) {
    CompressionProgress::SetBar(percent);
    Redraw();
}

int32_t TerminalProgress::Poll() { return gInterrupted ? kCancelMessage : 0; }

void TerminalProgress::Redraw() {
    if (!mOut) return;
    const int percent = Bar() < 0 ? 0 : (Bar() > 100 ? 100 : Bar());
    if (percent == mLastDrawnPercent) return;
    if (!mIsTerminal) {
        // Logs and pipes get a line every 10 %, not a stream of carriage returns.
        if (percent / 10 == mLastDrawnPercent / 10 && mLastDrawnPercent >= 0) return;
        std::fprintf(mOut, "  %3d%%\n", percent);
    } else {
        constexpr int kWidth = 40;
        const int filled = percent * kWidth / 100;
        std::fprintf(mOut, "\r%-28.28s [%.*s%*s] %3d%%", mStatus.c_str(), filled,
                     "########################################", kWidth - filled, "", percent);
    }
    std::fflush(mOut);
    mLastDrawnPercent = percent;
}
