// Putting a snapshot back: the record is read as a stored one would be,
// then every part that differs is announced with its own change, so that
// each view updates just as it does after the edit itself.
#include <array>
#include <vector>

#include "model/CTambleDocModel.h"
#include "model/SChangeInfo.h"

namespace {

// Exact fields, not times of equal length: a span stored as (1, 600)
// reads back as (1, 600), and anything else is a change.
std::vector<std::array<int32_t, 4>> CopyOf(const TArray<TimeRange*>& ranges) {
    std::vector<std::array<int32_t, 4>> copy;
    for (int32_t i = 1; i <= ranges.GetCount(); ++i)
        if (const TimeRange* r = ranges[i]) copy.push_back({r->start.value, r->start.scale, r->end.value, r->end.scale});
    return copy;
}

int32_t ListChange(size_t before, size_t after, int32_t grew, int32_t shrank, int32_t edited) {
    return after > before ? grew : after < before ? shrank : edited;
}

}  // namespace

void CTambleDocModel::RestoreSnapshot(const SSnapshot& snapshot) {
    const std::array<int32_t, 4> crop{mCropLeft, mCropTop, mCropRight, mCropBottom};
    const int32_t rotation = mRotation, width = mOutputWidth, height = mOutputHeight;
    const bool flipH = mFlipHorizontal, flipV = mFlipVertical, custom = mCustomSize, constrain = mConstrainProportions;
    const FSSpec watermark = mWatermarkFile;
    const auto filters = mFilters.Copies(), video = mVideoSegments.Copies(), audio = mAudioSegments.Copies();
    const auto ranges = CopyOf(mExcludedRanges);
    const bool movieDocument = mIsMovieDocument, muted = IsMuted();

    // Reading announces the emptied segment list half way; the views hear
    // about the finished state below.
    SetMuted(true);
    ReadSettings(snapshot.record);
    SetMuted(muted);
    mIsMovieDocument = movieDocument;
    mAspectRatio = snapshot.aspectRatio;

    if (mRotation != rotation) Changed(kChangeRotation);
    if (mFlipHorizontal != flipH) Changed(kChangeFlipHorizontal);
    if (mFlipVertical != flipV) Changed(kChangeFlipVertical);
    if (std::array<int32_t, 4>{mCropLeft, mCropTop, mCropRight, mCropBottom} != crop) Changed(kChangeCrop);
    if (!(mWatermarkFile == watermark)) Changed(kChangeWatermarkFile);
    if (mCustomSize != custom) Changed(kChangeCustomSize);
    if (mConstrainProportions != constrain) Changed(kChangeConstrainProportions);
    if (mOutputWidth != width) Changed(kChangeOutputWidth);
    if (mOutputHeight != height) Changed(kChangeOutputHeight);
    if (const auto now = mFilters.Copies(); now != filters)
        Changed(ListChange(filters.size(), now.size(), kChangeFilterAdded, kChangeFilterRemoved, kChangeFilterChanged));
    if (mVideoSegments.Copies() != video) Changed(kChangeVideoSegments);
    if (const auto now = mAudioSegments.Copies(); now != audio)
        Changed(ListChange(audio.size(), now.size(), kChangeSegmentAdded, kChangeAudioSegmentRemoved,
                           kChangeAudioSegmentChanged));
    if (CopyOf(mExcludedRanges) != ranges) Changed(kChangeExcludedRanges);
}
