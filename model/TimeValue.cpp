#include "model/TimeValue.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
constexpr int64_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();

int32_t Clamp32(int64_t v) { return int32_t(std::clamp(v, kMin32, kMax32)); }

// Least common multiple in 64 bits; scales are positive here.
int64_t Lcm64(int32_t a, int32_t b) { return int64_t(a) / std::gcd(a, b) * int64_t(b); }

// Non-positive scales are meaningless; treat them as 1 so that nothing
// divides by zero.
int32_t SaneScale(int32_t scale) { return scale > 0 ? scale : 1; }

// Sign of a.value/a.scale - b.value/b.scale, exactly.
int CompareExact(const STimeValue& a, const STimeValue& b) {
    const int64_t left = int64_t(a.value) * SaneScale(b.scale);
    const int64_t right = int64_t(b.value) * SaneScale(a.scale);
    return (left > right) - (left < right);
}
}  // namespace

int32_t CommonTimeScale(int32_t a, int32_t b) {
    if (a <= 0 && b <= 0) return 1;
    if (a <= 0) return b;
    if (b <= 0) return a;
    if (a == b) return a;
    return Clamp32(Lcm64(a, b));
}

int32_t ConvertTimeScale(int32_t value, int32_t fromScale, int32_t toScale) {
    if (fromScale <= 0) return 0;
    if (fromScale == toScale) return value;
    const double q = (double(value) * double(toScale) + 0.5) / double(fromScale);
    const double t = std::trunc(q);
    if (t >= double(kMax32)) return int32_t(kMax32);
    if (t <= double(kMin32)) return int32_t(kMin32);
    return int32_t(t);
}

int32_t STimeValue::ValueIn(int32_t toScale) const {
    return ConvertTimeScale(value, scale, toScale);
}

bool operator==(const STimeValue& a, const STimeValue& b) {
    if (a.value == b.value && a.scale == b.scale) return true;
    return CompareExact(a, b) == 0;
}

bool operator<(const STimeValue& a, const STimeValue& b) { return CompareExact(a, b) < 0; }

STimeValue MidpointOf(const STimeValue& a, const STimeValue& b) {
    const int32_t sa = SaneScale(a.scale), sb = SaneScale(b.scale);
    const int64_t common = sa == sb ? sa : Lcm64(sa, sb);
    STimeValue mid;
    if (common <= kMax32) {
        const int64_t va = int64_t(a.value) * (common / sa);
        const int64_t vb = int64_t(b.value) * (common / sb);
        mid.scale = int32_t(common);
        mid.value = Clamp32((va + vb) / 2);
    } else {
        mid.scale = std::max(sa, sb);
        const int64_t va = ConvertTimeScale(a.value, sa, mid.scale);
        const int64_t vb = ConvertTimeScale(b.value, sb, mid.scale);
        mid.value = int32_t((va + vb) / 2);
    }
    return mid;
}
