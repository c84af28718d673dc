// How much physical memory the system can still give this process.
#pragma once

#include <cstdint>

// Bytes available (MemAvailable), or a very large number when unknown.
uint64_t AvailablePhysicalMemory();
