// Times as (value, scale): a count of units and units per second. The
// document mixes scales freely (the movie's own, 600 for the timeline,
// whatever an effect was stored in), so comparisons work across scales.
#pragma once

#include <cstdint>

struct STimeValue {
    int32_t value = 0;
    int32_t scale = 600;

    // This time's value in another scale (ConvertTimeScale).
    int32_t ValueIn(int32_t toScale) const;
};

// Least common multiple of two scales; a result beyond the 32-bit range is
// clamped to 2147483647. A scale of zero or less is ignored in favour of
// the other (1 when both are).
int32_t CommonTimeScale(int32_t a, int32_t b);

// (value * toScale + 0.5) / fromScale in double precision, truncated toward
// zero and clamped to the 32-bit range. The same scale gives the value
// unchanged; a fromScale of zero or less gives 0.
int32_t ConvertTimeScale(int32_t value, int32_t fromScale, int32_t toScale);

// Times compare as in their common scale (t1 == t2 when (1, 600) and
// (2, 1200), say). Computed exactly, so scales whose common multiple would
// not fit in 32 bits still compare correctly.
bool operator==(const STimeValue& a, const STimeValue& b);
bool operator<(const STimeValue& a, const STimeValue& b);
inline bool operator!=(const STimeValue& a, const STimeValue& b) { return !(a == b); }
inline bool operator>(const STimeValue& a, const STimeValue& b) { return b < a; }
inline bool operator<=(const STimeValue& a, const STimeValue& b) { return !(b < a); }
inline bool operator>=(const STimeValue& a, const STimeValue& b) { return !(a < b); }

// Half way between two times: both in their common scale, added, halved
// toward zero; the result is in that common scale (in the larger of the
// two scales when the common one does not fit in 32 bits).
STimeValue MidpointOf(const STimeValue& a, const STimeValue& b);
