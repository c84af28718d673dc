#include "compress/TerminalProgress.h"

#include <unistd.h>

TerminalProgress::TerminalProgress(std::FILE* out) : mOut(out) { mIsTerminal = out && isatty(fileno(out)); }

void TerminalProgress::Open(const std::string& title) {
    mStart = std::chrono::steady_clock::now();
    mFramesSeen = mChunksSeen = 0;
    mBytes = 0;
    mStatus = title;  // shown here, not again as the first status
    if (mOut) std::fprintf(mOut, "%s\n", title.c_str());
}

// The graph keeps every sample; only the new ones are added up.
void TerminalProgress::GraphChanged() {
    const auto& frames = Graph().VideoSamples();
    const auto& chunks = Graph().AudioSamples();
    for (; mFramesSeen < frames.size(); ++mFramesSeen) mBytes += frames[mFramesSeen].size;
    for (; mChunksSeen < chunks.size(); ++mChunksSeen) mBytes += chunks[mChunksSeen].size;
}

// "118 fps, 0:12 taken, 0:16 left, 3.4 MB"
std::string TerminalProgress::Figures() const {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - mStart).count();
    auto clock = [](double s) {
        const long t = long(s + 0.5);
        char text[32];
        if (t >= 3600) std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", t / 3600, t / 60 % 60, t % 60);
        else std::snprintf(text, sizeof text, "%ld:%02ld", t / 60, t % 60);
        return std::string(text);
    };
    const int percent = Bar() < 0 ? 0 : (Bar() > 100 ? 100 : Bar());
    std::string text;
    char part[64];
    if (mFramesSeen > 0 && seconds > 0) {
        std::snprintf(part, sizeof part, "%.0f fps, ", double(mFramesSeen) / seconds);
        text += part;
    }
    text += clock(seconds) + " taken";
    if (percent > 0 && percent < 100) text += ", " + clock(seconds * (100 - percent) / percent) + " left";
    std::snprintf(part, sizeof part, ", %.1f MB", double(mBytes) / 1e6);
    return text + part;
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
    // A log gets the status as a line of its own and the figures with the
    // next percentage; a terminal shows them together at once.
    if (mOut && !mIsTerminal) std::fprintf(mOut, "%s\n", text.c_str());
    else Redraw();
}

void TerminalProgress::SetBar(int percent) {
    CompressionProgress::SetBar(percent);
    Redraw();
}

void TerminalProgress::Warn(const std::string& text) {
    CompressionProgress::Warn(text);
    if (!mOut) return;
    if (mIsTerminal && mLastDrawnPercent >= 0) std::fputc('\n', mOut);
    std::fprintf(mOut, "movelark: warning: %s\n", text.c_str());
    std::fflush(mOut);
    mLastDrawnPercent = -1;
}

int32_t TerminalProgress::Poll() { return 0; }

void TerminalProgress::Redraw() {
    if (!mOut) return;
    const int percent = Bar() < 0 ? 0 : (Bar() > 100 ? 100 : Bar());
    const auto now = std::chrono::steady_clock::now();
    // The figures move between percentages too: a terminal sees them twice a second.
    if (percent == mLastDrawnPercent && (!mIsTerminal || now - mLastDrawn < std::chrono::milliseconds(500))) return;
    mLastDrawn = now;
    if (!mIsTerminal) {
        // Logs and pipes get a line every 10 %, not a stream of carriage returns.
        if (percent / 10 == mLastDrawnPercent / 10 && mLastDrawnPercent >= 0) return;
        std::fprintf(mOut, "  %3d%%  %s\n", percent, Figures().c_str());
    } else {
        constexpr int kWidth = 20;
        const int filled = percent * kWidth / 100;
        std::fprintf(mOut, "\r%-26.26s [%.*s%*s] %3d%%  %s\033[K", mStatus.c_str(), filled,
                     "####################", kWidth - filled, "", percent, Figures().c_str());
    }
    std::fflush(mOut);
    mLastDrawnPercent = percent;
}
