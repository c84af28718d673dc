#include "model/ExactTime.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

using Wide = __int128;

int64_t Clamp64(Wide v) {
    constexpr Wide lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
    return int64_t(std::clamp(v, lo, hi));
}

// Floor of n / d for d > 0.
Wide FloorDiv(Wide n, Wide d) {
    Wide q = n / d;
    if ((n % d != 0) && (n < 0)) --q;
    return q;
}

// a and b in one scale: their common one, or the finer of the two when the
// common one would be too large.
int64_t SharedScale(const ExactTime& a, const ExactTime& b) {
    if (a.scale == b.scale) return a.scale;
    const int64_t common = a.scale / std::gcd(a.scale, b.scale) * b.scale;
    if (common > 0 && common <= ExactTime::kMaxScale) return common;
    return std::max(a.scale, b.scale);
}

int Compare(const ExactTime& a, const ExactTime& b) {
    const Wide left = Wide(a.value) * b.scale, right = Wide(b.value) * a.scale;
    return (left > right) - (left < right);
}

}  // namespace

ExactTime::ExactTime(int64_t inValue, int64_t inScale) : value(inValue), scale(inScale > 0 ? inScale : 1) {}

int64_t ExactTime::RoundedIn(int64_t toScale) const {
    if (toScale == scale) return value;
    if (toScale <= 0) return 0;
    return Clamp64(FloorDiv(Wide(value) * toScale * 2 + scale, Wide(scale) * 2));
}

int64_t ExactTime::FloorIn(int64_t toScale) const {
    if (toScale == scale) return value;
    if (toScale <= 0) return 0;
    return Clamp64(FloorDiv(Wide(value) * toScale, scale));
}

STimeValue ExactTime::ToTimeValue(int32_t toScale) const {
    const int64_t v = RoundedIn(toScale);
    return STimeValue{int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max())),
                      toScale};
}

ExactTime operator+(const ExactTime& a, const ExactTime& b) {
    const int64_t s = SharedScale(a, b);
    return ExactTime(Clamp64(Wide(a.RoundedIn(s)) + b.RoundedIn(s)), s);
}

ExactTime operator-(const ExactTime& a, const ExactTime& b) {
    const int64_t s = SharedScale(a, b);
    return ExactTime(Clamp64(Wide(a.RoundedIn(s)) - b.RoundedIn(s)), s);
}

bool operator==(const ExactTime& a, const ExactTime& b) { return Compare(a, b) == 0; }
bool operator<(const ExactTime& a, const ExactTime& b) { return Compare(a, b) < 0; }
