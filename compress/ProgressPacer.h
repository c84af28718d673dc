// How far a pass has come, on the progress bar, with the window polled
// whenever the percentage changes and at least every half second (30
// ticks) in between, so that a slow stretch never freezes the window.
// Percentages count whole tenths of a second, as the bar always has.
#pragma once

#include <cstdint>

#include "model/TimeValue.h"

class CompressionProgress;

class ProgressPacer {
public:
    explicit ProgressPacer(CompressionProgress& progress) : mProgress(progress) {}

    // A pass over `total` begins; the half second starts now.
    void Start(const STimeValue& total);
    // Shows `current`, polling when it is time: true when the user cancelled.
    bool Cancelled(const STimeValue& current);
    // `tenths` of a second as a whole percentage of the total.
    int PercentOf(int64_t tenths) const;

private:
    CompressionProgress& mProgress;
    int32_t mTotalTenths = 0;
    uint32_t mNextPoll = 0;
};
