#include "compress/SystemMemory.h"

#include <cstdio>
#include <cstring>
#include <sys/sysinfo.h>

uint64_t AvailablePhysicalMemory() {
    if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kb = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) { found = true; break; }
        std::fclose(f);
        if (found) return uint64_t(kb) * 1024;
    }
    struct sysinfo info {};
    if (sysinfo(&info) == 0) return (uint64_t(info.freeram) + info.bufferram) * info.mem_unit;
    return UINT64_MAX;
}
