// A time as a 64-bit count of units and units per second, for arithmetic
// that must not drift: the compressor adds up hours of frame durations and
// asks the source for the frame of each sum, and a sum rounded into the
// movie's scale lands just before the frame it should show. Sums and
// differences stay exact in the common scale of their parts; only when that
// scale would pass kMaxScale is the result rounded (to nearest) into the
// finer of the two.
#pragma once

#include <cstdint>

#include "model/TimeValue.h"

struct ExactTime {
    static constexpr int64_t kMaxScale = 1'000'000'000;

    int64_t value = 0;
    int64_t scale = 600;  // positive

    ExactTime() = default;
    ExactTime(int64_t inValue, int64_t inScale);
    ExactTime(const STimeValue& t) : ExactTime(t.value, t.scale) {}  // NOLINT: a widening

    // The value in another scale, rounded to nearest (halves up) or down.
    int64_t RoundedIn(int64_t toScale) const;
    int64_t FloorIn(int64_t toScale) const;
    // In 32 bits, rounded into `toScale` and held at the ends of the range.
    STimeValue ToTimeValue(int32_t toScale) const;
    double Seconds() const { return double(value) / double(scale); }
};

ExactTime operator+(const ExactTime& a, const ExactTime& b);
ExactTime operator-(const ExactTime& a, const ExactTime& b);

bool operator==(const ExactTime& a, const ExactTime& b);
bool operator<(const ExactTime& a, const ExactTime& b);
inline bool operator!=(const ExactTime& a, const ExactTime& b) { return !(a == b); }
inline bool operator>(const ExactTime& a, const ExactTime& b) { return b < a; }
inline bool operator<=(const ExactTime& a, const ExactTime& b) { return !(b < a); }
inline bool operator>=(const ExactTime& a, const ExactTime& b) { return !(a < b); }
inline const ExactTime& Earlier(const ExactTime& a, const ExactTime& b) { return b < a ? b : a; }
