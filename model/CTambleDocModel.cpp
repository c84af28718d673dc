#include "model/CTambleDocModel.h"

#include <algorithm>
#include <cmath>

#include "model/DescriptionTime.h"
#include "model/ExcludedSpans.h"
#include "model/SaturatingMath.h"
#include "model/SChangeInfo.h"
#include "platform/media/AtomContainer.h"

CTambleDocModel::CTambleDocModel() { ResetSettings(); }

CTambleDocModel::~CTambleDocModel() {
    // Emptying the lists must not reach observers that are half torn down.
    SetMuted(true);
    mFilters.DisposeAll();
    mVideoSegments.DisposeAll();
    mAudioSegments.DisposeAll();
    DeleteAllExcludedRanges();
}

void CTambleDocModel::Changed(int32_t changeCode, void* arg1) {
    Notify(kSenderDocModel, changeCode, arg1);
}

void CTambleDocModel::ResetSettings() {
    ResetStoredFields();
    mFileSize = 0;
    mAspectRatio = 0.0f;
    mIsMovieDocument = false;
}

void CTambleDocModel::ResetStoredFields() {
    mCropLeft = 0;
    mCropRight = kFarEdge;
    mCropTop = 0;
    mCropBottom = kFarEdge;
    mRotation = 0;
    mFlipHorizontal = false;
    mFlipVertical = false;
    mConstrainProportions = false;
    mCustomSize = false;
    mWatermarkFile = FSSpec();
    mWatermarkPlacement = kDefaultWatermarkPlacement;
    mOutputWidth = 0;
    mOutputHeight = 0;
}

// ---- Document ----

bool CTambleDocModel::SetSourceFile(const FSSpec& spec) {
    if (!CanOpen(spec)) return false;
    mFileSpec = spec;
    OpenMovie();
    ReadSettingsFromMovie();
    LoadMovieInfo();
    CutCropToSource();
    RecomputeAspect();
    Changed(kChangeSourceFile);
    return true;
}

void CTambleDocModel::RefreshFromSource() {
    ResetSettings();
    OpenMovie();
    ReadSettingsFromMovie();
    LoadMovieInfo();
    CutCropToSource();
    RecomputeAspect();
    Changed(kChangeRefreshFromSource);
}

// The crop is held in displayed coordinates, so a turned picture is cut to
// its turned size.
void CTambleDocModel::CutCropToSource() {
    mCropRight = std::min(mCropRight, GetDisplayWidth());
    mCropBottom = std::min(mCropBottom, GetDisplayHeight());
}

void CTambleDocModel::RecomputeAspect() {
    if (!mConstrainProportions)
        mAspectRatio = 0.0f;
    else if (!mCustomSize)
        mAspectRatio = float(mSourceWidth) / float(mSourceHeight);
    else
        mAspectRatio = float(mOutputWidth) / float(mOutputHeight);
}

// ---- Geometry ----

void CTambleDocModel::SetRotation(int32_t degrees) {
    if (degrees == mRotation) return;
    // With proportions held the crop keeps its shape; otherwise it turns
    // with the picture.
    if (mAspectRatio == 0.0f) {
        const int32_t w = GetDisplayWidth();
        const int32_t h = GetDisplayHeight();
        const int32_t left = mCropLeft, right = mCropRight, top = mCropTop, bottom = mCropBottom;
        const int64_t turn = ((int64_t(degrees) - mRotation + 1440) % 360 + 360) % 360;
        if (turn == 90) {
            mCropTop = left;
            mCropBottom = right;
            mCropLeft = SaturatingSub(h, bottom);
            mCropRight = SaturatingSub(h, top);
        } else if (turn == 270) {
            mCropRight = bottom;
            mCropLeft = top;
            mCropTop = SaturatingSub(w, right);
            mCropBottom = SaturatingSub(w, left);
        } else if (turn == 180) {
            mCropLeft = SaturatingSub(w, right);
            mCropRight = SaturatingSub(w, left);
            mCropTop = SaturatingSub(h, bottom);
            mCropBottom = SaturatingSub(h, top);
        }
    }
    mRotation = degrees;
    Changed(kChangeRotation);
}

namespace {
int32_t HalfTurn(int32_t rotation) { return int32_t(((int64_t(rotation) + 180) % 360 + 360) % 360); }
}  // namespace

// The flags act on the source picture before rotation while the crop is
// held in displayed coordinates, so on a turned picture a horizontal flip
// mirrors the crop's vertical extent (the displayed height is the source
// width) and a vertical flip its horizontal extent.
void CTambleDocModel::SetFlipHorizontal(bool flip) {
    if (flip == mFlipHorizontal) return;
    mFlipHorizontal = flip;
    if (mFlipHorizontal && mFlipVertical) {  // both flips are a half turn
        mFlipHorizontal = mFlipVertical = false;
        mRotation = HalfTurn(mRotation);
    }
    const int32_t left = mCropLeft, right = mCropRight, top = mCropTop, bottom = mCropBottom;
    if (IsRotated()) {
        mCropTop = SaturatingSub(mSourceWidth, bottom);
        mCropBottom = SaturatingSub(mSourceWidth, top);
    } else {
        mCropLeft = SaturatingSub(mSourceWidth, right);
        mCropRight = SaturatingSub(mSourceWidth, left);
    }
    Changed(kChangeFlipHorizontal);
}

void CTambleDocModel::SetFlipVertical(bool flip) {
    if (flip == mFlipVertical) return;
    mFlipVertical = flip;
    if (mFlipHorizontal && mFlipVertical) {
        mFlipHorizontal = mFlipVertical = false;
        mRotation = HalfTurn(mRotation);
    }
    const int32_t left = mCropLeft, right = mCropRight, top = mCropTop, bottom = mCropBottom;
    if (IsRotated()) {
        mCropLeft = SaturatingSub(mSourceHeight, right);
        mCropRight = SaturatingSub(mSourceHeight, left);
    } else {
        mCropTop = SaturatingSub(mSourceHeight, bottom);
        mCropBottom = SaturatingSub(mSourceHeight, top);
    }
    Changed(kChangeFlipVertical);
}

void CTambleDocModel::SetCrop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    mCropLeft = left;
    mCropTop = top;
    mCropRight = right;
    mCropBottom = bottom;
    Changed(kChangeCrop);
}

void CTambleDocModel::SetWatermarkFile(const FSSpec& spec) {
    mWatermarkFile = spec;
    Changed(kChangeWatermarkFile);
}

void CTambleDocModel::SetConstrainProportions(bool constrain) {
    if (constrain == mConstrainProportions) return;
    mConstrainProportions = constrain;
    RecomputeAspect();
    Changed(kChangeConstrainProportions);
}

namespace {
// trunc(x + 0.5) as a 32-bit value; a ratio from a zero dimension gives
// nothing usable, and then the other dimension is left alone.
bool RoundedDimension(double x, int32_t& out) {
    if (!std::isfinite(x)) return false;
    out = Saturate32(int64_t(std::trunc(std::clamp(x + 0.5, -2147483648.0, 2147483647.0))));
    return true;
}
}  // namespace

void CTambleDocModel::SetOutputWidth(int32_t width) {
    mOutputWidth = width;
    if (mConstrainProportions) {
        if (RoundedDimension(double(width) / double(mAspectRatio), mOutputHeight))
            Changed(kChangeOutputHeight);
    }
    Changed(kChangeOutputWidth);
}

void CTambleDocModel::SetOutputHeight(int32_t height) {
    mOutputHeight = height;
    if (mConstrainProportions) {
        if (RoundedDimension(double(height) * double(mAspectRatio), mOutputWidth))
            Changed(kChangeOutputWidth);
    }
    Changed(kChangeOutputHeight);
}

void CTambleDocModel::SetCustomSize(bool custom) {
    if (custom == mCustomSize) return;
    mCustomSize = custom;
    if (!custom) {
        mOutputWidth = 0;
        mOutputHeight = 0;
        if (mConstrainProportions) {
            mConstrainProportions = false;
            RecomputeAspect();
            Changed(kChangeConstrainProportions);
        }
    } else {
        mOutputWidth = SaturatingSub(mCropRight, mCropLeft);
        mOutputHeight = SaturatingSub(mCropBottom, mCropTop);
    }
    RecomputeAspect();
    Changed(kChangeCustomSize);
}

// ---- Filters ----

void CTambleDocModel::AddFilter(std::unique_ptr<Handle> filter) {
    mFilters.Append(std::move(filter));
    Changed(kChangeFilterAdded);
}

void CTambleDocModel::InsertFilter(std::unique_ptr<Handle> filter, int32_t index) {
    mFilters.Insert(index, std::move(filter));
    Changed(kChangeFilterAdded);
}

std::unique_ptr<Handle> CTambleDocModel::RemoveFilter(int32_t index) {
    if (!mFilters.IsValidIndex(index)) return nullptr;
    std::unique_ptr<Handle> removed = mFilters.Take(index);
    Changed(kChangeFilterRemoved);
    return removed;
}

void CTambleDocModel::FilterChanged() { Changed(kChangeFilterChanged); }

// ---- Segments ----

int32_t CTambleDocModel::AddVideoSegment(std::unique_ptr<Handle> segment, const STimeValue& at,
                                         const STimeValue* maxLength,
                                         const STimeValue* edgeZone) {
    const int32_t index = PlaceDescription(mVideoSegments, std::move(segment), at, maxLength, edgeZone);
    Changed(kChangeSegmentAdded);
    return index;
}

int32_t CTambleDocModel::AddAudioSegment(std::unique_ptr<Handle> segment, const STimeValue& at) {
    const int32_t index = PlaceDescription(mAudioSegments, std::move(segment), at, nullptr, nullptr);
    Changed(kChangeSegmentAdded);
    return index;
}

void CTambleDocModel::RemoveVideoSegment(int32_t index) {
    if (!mVideoSegments.IsValidIndex(index)) return;
    RemoveDescription(mVideoSegments, index);
    Changed(kChangeVideoSegments);
}

void CTambleDocModel::RemoveAllVideoSegments() {
    mVideoSegments.DisposeAll();
    Changed(kChangeVideoSegments);
}

namespace {

void Lay(CDescriptionList& list, std::vector<std::unique_ptr<Handle>> segments) {
    list.DisposeAll();
    for (auto& segment : segments) list.Append(std::move(segment));
}

std::vector<std::unique_ptr<Handle>> OneOverTheMovie(Handle settings, const STimeValue& duration) {
    auto segment = std::make_unique<Handle>(std::move(settings));
    SetDescriptionTime(segment.get(), STimeValue{0, duration.scale}, duration);
    std::vector<std::unique_ptr<Handle>> one;
    one.push_back(std::move(segment));
    return one;
}

}  // namespace

void CTambleDocModel::LayVideoSegments(std::vector<std::unique_ptr<Handle>> segments) {
    Lay(mVideoSegments, std::move(segments));
    Changed(kChangeVideoSegments);
}

void CTambleDocModel::LayAudioSegments(std::vector<std::unique_ptr<Handle>> segments) {
    Lay(mAudioSegments, std::move(segments));
    Changed(kChangeAudioSegmentChanged);
}

void CTambleDocModel::UseOneVideoSegment(Handle settings) {
    LayVideoSegments(OneOverTheMovie(std::move(settings), mDuration));
}

void CTambleDocModel::UseOneAudioSegment(Handle settings) {
    LayAudioSegments(OneOverTheMovie(std::move(settings), mDuration));
}

void CTambleDocModel::RemoveAudioSegment(int32_t index) {
    if (!mAudioSegments.IsValidIndex(index)) return;
    RemoveDescription(mAudioSegments, index);
    Changed(kChangeAudioSegmentRemoved);
}

void CTambleDocModel::VideoSegmentChanged() { Changed(kChangeVideoSegmentChanged); }
void CTambleDocModel::AudioSegmentChanged() { Changed(kChangeAudioSegmentChanged); }

namespace {
// The spatial settings of a video description: 'vide' > 'sptl', holding
// codec type (4), codec (4), depth (2), spatial quality (4), big-endian.
constexpr size_t kSpatialDepthOffset = 8;
constexpr size_t kSpatialQualityOffset = 10;

template <class Edit>
void EditSpatialSettings(Handle* segment, Edit edit) {
    AtomContainer container;
    if (segment == nullptr || !AtomContainer::TryParse(*segment, container)) return;
    QTAtomNode* video = container.Find(FourCC("vide"));
    QTAtomNode* spatial = video ? video->FindChild(FourCC("sptl")) : nullptr;
    if (spatial == nullptr || !spatial->leaf) return;
    edit(*spatial);
    *segment = container.ToHandle();
}
}  // namespace

void CTambleDocModel::SetSegmentDepth(int32_t index, int16_t depth) {
    if (!mVideoSegments.IsValidIndex(index)) return;
    EditSpatialSettings(mVideoSegments.Get(index), [&](QTAtomNode& spatial) {
        spatial.SetU16(kSpatialDepthOffset, uint16_t(depth));
    });
    Changed(kChangeVideoSegmentChanged);
}

void CTambleDocModel::SetSegmentQuality(int32_t index, int32_t quality) {
    if (!mVideoSegments.IsValidIndex(index)) return;
    EditSpatialSettings(mVideoSegments.Get(index), [&](QTAtomNode& spatial) {
        spatial.SetU32(kSpatialQualityOffset, uint32_t(quality));
    });
    Changed(kChangeVideoSegmentChanged);
}

// ---- Excluded ranges (list upkeep; the cutting and merging is timeline work) ----

void CTambleDocModel::ExcludedRangesChanged() { Changed(kChangeExcludedRanges); }

const TimeRange* CTambleDocModel::FindExcludedRangeAt(const STimeValue& t) const {
    return ExcludedSpans(&mExcludedRanges).At(t);
}

void CTambleDocModel::SortExcludedRanges() {
    mExcludedRanges.SetComparator(std::make_unique<TimeRangeComparator>());
    mExcludedRanges.Sort();
    mExcludedRanges.UseDefaultComparator();
}

void CTambleDocModel::DeleteAllExcludedRanges() {
    TimeRange* range = nullptr;
    while (mExcludedRanges.PopLast(range)) delete range;
}
