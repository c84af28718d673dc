// 32-bit results of 64-bit sums and differences, held at the ends of the
// range. Geometry and times read from stored records can hold any value,
// and arithmetic on them must never overflow.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

inline int32_t Saturate32(int64_t value) {
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}
inline int32_t SaturatingSub(int32_t a, int32_t b) { return Saturate32(int64_t(a) - b); }
inline int32_t SaturatingAdd(int32_t a, int32_t b) { return Saturate32(int64_t(a) + b); }
