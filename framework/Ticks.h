// Ticks: 60 per second from a monotonic clock. Periodic work is scheduled
// in ticks (a preset folder check every 600, the image cache every 10).
#pragma once

#include <cstdint>

constexpr uint32_t kTicksPerSecond = 60;

// Ticks since an arbitrary fixed point; wraps after about 2.2 years.
uint32_t TickCount();
