#include "compress/ProgressPacer.h"

#include "compress/CompressionProgress.h"
#include "framework/Ticks.h"

namespace {
constexpr uint32_t kPollInterval = 30;  // ticks
}

void ProgressPacer::Start(const STimeValue& total) {
    mTotalTenths = total.ValueIn(10);
    mNextPoll = TickCount() + kPollInterval;
}

int ProgressPacer::PercentOf(int64_t tenths) const {
    return mTotalTenths > 0 ? int(tenths * 100 / mTotalTenths) : 0;
}

bool ProgressPacer::Cancelled(const STimeValue& current) {
    const int percent = PercentOf(current.ValueIn(10));
    const uint32_t now = TickCount();
    if (percent == mProgress.Bar() && now <= mNextPoll) return false;
    mProgress.SetBar(percent);
    if (mProgress.Poll() == CompressionProgress::kCancelMessage) return true;
    mNextPoll = now + kPollInterval;
    return false;
}
