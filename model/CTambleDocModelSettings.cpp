// The stored settings record: big-endian, no magic, no padding. It starts
// with a version that is written as 0x00010000 and ignored on reading.
#include <algorithm>
#include <memory>

#include "framework/LHandleStream.h"
#include "model/CTambleDocModel.h"
#include "model/SChangeInfo.h"

namespace {

constexpr int32_t kSettingsVersion = 0x00010000;

void PutList(LHandleStream& stream, const CDescriptionList& list) {
    stream.PutBE32(list.Count());
    for (int32_t i = 1; i <= list.Count(); ++i) {
        const Handle* description = list.Get(i);
        stream.PutSizedHandle(description ? *description : Handle());
    }
}

// A count is only a promise: every entry is read before it is kept, so a
// huge count costs nothing beyond the bytes really present.
void GetList(LHandleStream& stream, CDescriptionList& list) {
    const int32_t count = stream.GetBE32();
    for (int32_t i = 0; i < count; ++i) {
        Handle description = stream.GetSizedHandle();
        list.Append(description.IsNull() ? nullptr : std::make_unique<Handle>(std::move(description)));
    }
}

void PutTime(LHandleStream& stream, const STimeValue& t) {
    stream.PutBE32(t.value);
    stream.PutBE32(t.scale);
}

STimeValue GetTime(LHandleStream& stream) {
    STimeValue t;
    t.value = stream.GetBE32();
    t.scale = stream.GetBE32();
    return t;
}

}  // namespace

Handle CTambleDocModel::WriteSettings() const {
    LHandleStream stream;
    stream.PutBE32(kSettingsVersion);

    // The whole frame is stored as no crop at all, so that the record fits
    // a movie of any size.
    const bool fullFrame = mCropTop == 0 && mCropLeft == 0 && mCropBottom == GetDisplayHeight() &&
                           mCropRight == GetDisplayWidth();
    stream.PutBE32(fullFrame ? 0 : mCropTop);
    stream.PutBE32(fullFrame ? 0 : mCropLeft);
    stream.PutBE32(fullFrame ? 0 : mCropBottom);
    stream.PutBE32(fullFrame ? 0 : mCropRight);

    stream.PutBE32(mOutputWidth);
    stream.PutBE32(mOutputHeight);
    stream.PutBE32(mRotation);
    stream.PutByte(mFlipHorizontal ? 1 : 0);
    stream.PutByte(mFlipVertical ? 1 : 0);
    stream.PutByte(mCustomSize ? 1 : 0);
    stream.PutByte(mConstrainProportions ? 1 : 0);
    stream.PutBE16(mWatermarkFile.vRefNum);
    stream.PutBE32(mWatermarkFile.parID);
    stream.PutPString(mWatermarkFile.name);
    stream.PutBE32U(mWatermarkPlacement);

    PutList(stream, mFilters);
    PutList(stream, mVideoSegments);
    PutList(stream, mAudioSegments);

    stream.PutBE32(mExcludedRanges.GetCount());
    for (int32_t i = 1; i <= mExcludedRanges.GetCount(); ++i) {
        const TimeRange* range = mExcludedRanges[i];
        const TimeRange none;
        PutTime(stream, range ? range->start : none.start);
        PutTime(stream, range ? range->end : none.end);
    }
    return stream.DetachHandle();
}

void CTambleDocModel::ReadSettings(const Handle* record) {
    if (record == nullptr || record->IsNull()) return;
    LHandleStream stream(record);

    mFilters.DisposeAll();
    mVideoSegments.DisposeAll();
    Changed(kChangeVideoSegments);
    mAudioSegments.DisposeAll();
    DeleteAllExcludedRanges();

    stream.GetBE32();  // version: every version is read with this layout

    const int32_t top = stream.GetBE32();
    const int32_t left = stream.GetBE32();
    const int32_t bottom = stream.GetBE32();
    const int32_t right = stream.GetBE32();
    const bool wholePicture = top == 0 && left == 0 && bottom == 0 && right == 0;
    if (!wholePicture) {
        mCropTop = top;
        mCropLeft = left;
        mCropBottom = bottom;
        mCropRight = right;
    }

    // Each field lands in the model as soon as it is read.
    mOutputWidth = stream.GetBE32();
    mOutputHeight = stream.GetBE32();
    mRotation = stream.GetBE32();
    // "The whole picture" is the whole picture as this record turns it, so
    // a record applied over another document's settings (a droplet, a
    // settings file) does not keep that document's crop or orientation.
    if (wholePicture && mSourceWidth > 0 && mSourceHeight > 0) {
        mCropTop = 0;
        mCropLeft = 0;
        mCropBottom = GetDisplayHeight();
        mCropRight = GetDisplayWidth();
    }
    mFlipHorizontal = stream.GetByte() != 0;
    mFlipVertical = stream.GetByte() != 0;
    mCustomSize = stream.GetByte() != 0;
    mConstrainProportions = stream.GetByte() != 0;
    mWatermarkFile.vRefNum = stream.GetBE16();
    mWatermarkFile.parID = stream.GetBE32();
    uint8_t name[256];
    name[0] = stream.GetByte();
    stream.GetBytes(name + 1, name[0]);
    std::copy(name, name + 1 + name[0], mWatermarkFile.name);
    mWatermarkPlacement = stream.GetBE32U();

    GetList(stream, mFilters);
    GetList(stream, mVideoSegments);
    GetList(stream, mAudioSegments);

    const int32_t rangeCount = stream.GetBE32();
    for (int32_t i = 0; i < rangeCount; ++i) {
        const STimeValue start = GetTime(stream);
        const STimeValue end = GetTime(stream);
        AppendExcludedRange(TimeRange(start, end));
    }

    mIsMovieDocument = true;
}

void CTambleDocModel::ForgetStoredSettings() {
    mFilters.DisposeAll();
    mVideoSegments.DisposeAll();
    Changed(kChangeVideoSegments);
    mAudioSegments.DisposeAll();
    DeleteAllExcludedRanges();
    ResetStoredFields();
}
