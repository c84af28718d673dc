#include "framework/Ticks.h"

#include <chrono>

uint32_t TickCount() {
    using namespace std::chrono;
    const auto since = steady_clock::now().time_since_epoch();
    const auto ns = duration_cast<nanoseconds>(since).count();
    // Split to keep ns * 60 from overflowing.
    const int64_t seconds = ns / 1000000000;
    const int64_t rest = ns % 1000000000;
    return uint32_t(uint64_t(seconds) * kTicksPerSecond + uint64_t(rest * 60 / 1000000000));
}
