#include "compress/StopSignals.h"

#include <csignal>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kCount = sizeof kSignals / sizeof kSignals[0];

volatile std::sig_atomic_t gReceived = 0;
int gDepth = 0;  // guards alive; only the main thread makes them
struct sigaction gBefore[kCount];
bool gInstalled[kCount];

void Note(int signal) {
    if (gReceived == 0) gReceived = signal;
}

}  // namespace

StopSignals::Guard::Guard() {
    if (gDepth++ > 0) return;
    gReceived = 0;
    struct sigaction note {};
    note.sa_handler = Note;
    note.sa_flags = SA_RESTART;
    sigemptyset(&note.sa_mask);
    for (int i = 0; i < kCount; ++i) {
        sigaction(kSignals[i], nullptr, &gBefore[i]);
        gInstalled[i] = gBefore[i].sa_handler != SIG_IGN;
        if (gInstalled[i]) sigaction(kSignals[i], &note, nullptr);
    }
}

StopSignals::Guard::~Guard() {
    if (--gDepth > 0) return;
    for (int i = 0; i < kCount; ++i)
        if (gInstalled[i]) sigaction(kSignals[i], &gBefore[i], nullptr);
    if (const int signal = gReceived) {
        gReceived = 0;
        std::raise(signal);
    }
}

int StopSignals::Received() { return gReceived; }
