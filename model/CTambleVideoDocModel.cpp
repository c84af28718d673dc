#include "model/CTambleVideoDocModel.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "model/DescriptionTime.h"
#include "model/SaturatingMath.h"
#include "model/SChangeInfo.h"
#include "model/StoredSettingsCheck.h"
#include "platform/media/encode/OutputCodecCheck.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/MovieRemux.h"
#include "platform/media/source/MovieUserData.h"

namespace {

int16_t Saturate16(int32_t value) {
    return int16_t(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                       std::numeric_limits<int16_t>::max()));
}

}  // namespace

CTambleVideoDocModel::~CTambleVideoDocModel() { mMovie.reset(); }

bool CTambleVideoDocModel::IsMovieFile(const FSSpec& spec) {
    const std::string name = spec.FileName(true);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "mov" || extension == "qt" || extension == "mp4" || extension == "m4v";
}

// ---- Movie-backed operations ----

void CTambleVideoDocModel::ResetSettings() {
    CTambleDocModel::ResetSettings();
    mMovie.reset();
    mSavedRate = 0;
    mHasAudio = true;
    mHasVideo = true;
}

bool CTambleVideoDocModel::CanOpen(const FSSpec& spec) {
    mOpenRefusal = OpenRefusal::None;
    try {
        if (Movie::Open(spec.Path())->HasVideo()) return true;
        mOpenRefusal = OpenRefusal::NoPictures;
        return false;
    } catch (const std::exception&) {
        // Not made here means OpenMovie will not make it either; a file
        // named as a movie then simply has no movie.
        if (IsMovieFile(spec)) return true;
        mOpenRefusal = OpenRefusal::NotAMovie;
        return false;
    }
}

void CTambleVideoDocModel::OpenMovie() {
    mMovie.reset();
    try {
        mMovie = Movie::Open(mFileSpec.Path());
    } catch (const std::exception&) {
        mMovie.reset();
    }
    mIsMovieDocument = mMovie ? mMovie->Layout().isQuickTimeFamily : IsMovieFile(mFileSpec);
}

void CTambleVideoDocModel::LoadMovieInfo() {
    const int64_t size = mFileSpec.FileSize();
    mFileSize = uint32_t(std::clamp<int64_t>(size, 0, std::numeric_limits<uint32_t>::max()));
    if (!mMovie) return;
    mSourceWidth = mMovie->BoxWidth();
    mSourceHeight = mMovie->BoxHeight();
    mDuration = STimeValue{Saturate32(mMovie->Duration()), mMovie->TimeScale()};
    mHasVideo = mMovie->HasVideo();
    mHasAudio = mMovie->HasAudio();
}

// A damaged record must not lock the movie away: it opens with the built-in
// settings and a warning, and the record stays in the file as it is until
// the user saves new settings over it.
void CTambleVideoDocModel::ReadSettingsFromMovie() {
    mSettingsWarning.clear();
    if (!mMovie) return;
    Handle settings;
    try {
        settings = MovieUserData::Read(mFileSpec.Path(), kSettingsType);
    } catch (const LException&) {
        return;  // a file whose settings cannot be reached holds none
    }
    if (settings.IsNull() || settings.Size() == 0) return;
    std::string problem;
    try {
        ReadSettings(settings);
        problem = FindStoredSettingsProblem(*this);
    } catch (const LException& e) {
        problem = DescribeRecordReadFailure(e.Code(), e.what());
    }
    if (problem.empty()) return;
    ForgetStoredSettings();
    mSettingsWarning = "The settings stored in \"" + mFileSpec.FileName(true) + "\" are damaged (" + problem +
                       "), so the built-in settings are used. The stored settings stay as they are until you save.";
}

void CTambleVideoDocModel::SaveSettingsToMovie() {
    const Handle settings = WriteSettings();
    if (mMovie) MovieUserData::Write(mFileSpec.Path(), settings, kSettingsType);
    mIsMovieDocument = true;
}

OSErr CTambleVideoDocModel::SaveMovieAs(const FSSpec& spec) {
    if (!mMovie) return paramErr;
    std::unique_ptr<Movie> copy;
    try {
        RemuxMovie(mFileSpec.Path(), spec.Path());
        copy = Movie::Open(spec.Path());
    } catch (const LException& e) {
        return OSErr(e.Code());
    }
    copy->SetCurrentTime(mMovie->CurrentTime());
    mMovie = std::move(copy);
    mFileSpec = spec;
    OSErr result = noErr;
    try {
        SaveSettingsToMovie();
    } catch (const LException& e) {
        result = OSErr(e.Code());
    }
    Changed(kChangeMovieReplaced, mMovie.get());
    return result;
}

std::unique_ptr<OffscreenWorld> CTambleVideoDocModel::GetCurrentFramePicture() {
    if (!mMovie) return nullptr;
    auto picture = std::make_unique<OffscreenWorld>();
    if (mMovie->DrawCurrentFrame(*picture) != noErr) return nullptr;
    return picture;
}

bool CTambleVideoDocModel::CanCompress() { return !(mHasVideo && mVideoSegments.IsEmpty()); }

bool CTambleVideoDocModel::IsOutputWidthValid() {
    const int32_t width = mOutputWidth != 0 ? mOutputWidth : SaturatingSub(mCropRight, mCropLeft);
    return width % 4 == 0;
}

bool CTambleVideoDocModel::CanCompressAtOutputSize(std::string& why) const {
    why.clear();
    const Handle* first = mVideoSegments.Count() > 0 ? mVideoSegments.Get(1) : nullptr;
    if (mOutputWidth <= 0 || mOutputHeight <= 0 || !first) return true;
    VideoSettings settings;
    try {
        settings = VideoSettings::FromHandle(*first);
    } catch (const LException&) {
        return true;  // the job reports unreadable settings itself
    }
    int width = mOutputWidth, height = mOutputHeight;
    return FitFrameSizeToCodec(settings.codecType, settings.depth, true, width, height, why);
}

// ---- Compression ----

SCompressSettings CTambleVideoDocModel::MakeCompressSettings() {
    SCompressSettings settings;
    settings.crop = Rect{Saturate16(mCropTop), Saturate16(mCropLeft), Saturate16(mCropBottom),
                         Saturate16(mCropRight)};
    settings.flipHorizontal = mFlipHorizontal;
    settings.flipVertical = mFlipVertical;
    settings.rotation = mRotation;
    settings.outputWidth = mOutputWidth;
    settings.outputHeight = mOutputHeight;
    settings.watermarkFile = mWatermarkFile;
    settings.watermarkPlacement = mWatermarkPlacement;
    settings.videoSegments = &mVideoSegments;
    settings.audioSegments = &mAudioSegments;
    settings.filters = &mFilters;
    settings.excludedRanges = &mExcludedRanges;
    return settings;
}

// Segments past the end are dropped or cut back; a list that stops short
// is stretched to the end.
void CTambleVideoDocModel::FitSegmentsToDuration() {
    int32_t i = 1;
    while (i <= mVideoSegments.Count()) {
        Handle* segment = mVideoSegments.Get(i);
        STimeValue start, end;
        GetDescriptionTime(segment, start, end);
        if (end > mDuration) {
            if (start > mDuration) {
                mVideoSegments.Dispose(i);
                continue;
            }
            SetDescriptionTime(segment, start, mDuration);
        }
        ++i;
    }
    if (Handle* last = mVideoSegments.Last()) {
        STimeValue start, end;
        GetDescriptionTime(last, start, end);
        if (end < mDuration) SetDescriptionTime(last, start, mDuration);
    }
}

OSErr CTambleVideoDocModel::Compress(const FSSpec& destination, CompressionService& service) {
    SortExcludedRanges();
    const SCompressSettings settings = MakeCompressSettings();
    // Without a movie there is no duration to fit to; the job will report
    // the source itself.
    if (mMovie) FitSegmentsToDuration();
    mCompressMessage.clear();
    return service.CompressMovieFile(mFileSpec, destination, settings, &mCompressMessage);
}

// ---- Playback and position ----

bool CTambleVideoDocModel::IsPlaying() const { return mMovie && mMovie->Rate() != 0; }

bool CTambleVideoDocModel::IsAtEnd() const {
    return mMovie && mMovie->Duration() <= mMovie->CurrentTime();
}

STimeValue CTambleVideoDocModel::GetCurrentTime() const {
    if (!mMovie) return STimeValue{0, 600};
    return STimeValue{Saturate32(mMovie->CurrentTime()), mMovie->TimeScale()};
}

void CTambleVideoDocModel::SetMovieTime(int64_t time) { mMovie->SetCurrentTime(time); }

void CTambleVideoDocModel::Play() {
    if (!mMovie || IsPlaying()) return;
    if (IsAtEnd()) GoToStart();
    mMovie->SetRate(kFixedOne);
    Changed(kChangePlay);
}

void CTambleVideoDocModel::Stop() {
    if (!IsPlaying()) return;
    mMovie->SetRate(0);
    Changed(kChangeStop);
}

void CTambleVideoDocModel::GoToStart() {
    if (!mMovie) return;
    Stop();
    if (mMovie->CurrentTime() != 0) {
        SetMovieTime(0);
        Changed(kChangeCurrentTime);
    }
}

void CTambleVideoDocModel::GoToEnd() {
    if (!mMovie) return;
    Stop();
    if (mMovie->CurrentTime() != mMovie->Duration()) {
        SetMovieTime(mMovie->Duration());
        Changed(kChangeCurrentTime);
    }
}

void CTambleVideoDocModel::StepFrames(int32_t count) {
    if (!mMovie) return;
    Stop();
    if (count > 0 && IsAtEnd()) GoToStart();
    if (count != 0) {
        int64_t next = mMovie->NextVisualSampleTime(mMovie->CurrentTime(), count);
        // Past the last frame is the end; before the first is the start.
        if (next < 0) next = count > 0 ? mMovie->Duration() : 0;
        SetMovieTime(next);
    }
    SkipExcludedRange(Saturate32(int64_t(count) * kFixedOne));
    Changed(kChangeCurrentTime);
}

void CTambleVideoDocModel::SetCurrentTime(const STimeValue& t) {
    if (!mMovie) return;
    SetMovieTime(t.ValueIn(mMovie->TimeScale()));
    Changed(kChangeCurrentTime);
}

void CTambleVideoDocModel::PauseForEdit() {
    if (!mMovie) return;
    mSavedRate = mMovie->Rate();
    Stop();
}

void CTambleVideoDocModel::ResumeAfterEdit() {
    if (!mMovie) return;
    if (mSavedRate != 0) Play();
    mSavedRate = 0;
}

void CTambleVideoDocModel::SkipExcludedRange(Fixed rate) {
    if (!mMovie) return;
    Fixed r = mMovie->Rate();
    if (r == 0) r = rate;
    const int32_t scale = mMovie->TimeScale();
    const TimeRange* range = FindExcludedRangeAt(GetCurrentTime());
    if (range == nullptr) return;
    if (r <= 0) {
        // Backwards: the last frame before the span.
        const int64_t before = mMovie->NextVisualSampleTime(range->start.ValueIn(scale), -1);
        SetMovieTime(before < 0 ? 0 : before);
    } else {
        SetMovieTime(range->end.ValueIn(scale));
    }
    mMovie->Task();
}

void CTambleVideoDocModel::SnapToFrame(STimeValue& t, int32_t direction) const {
    if (!mMovie) return;
    const int32_t scale = mMovie->TimeScale();
    const int64_t duration = mMovie->Duration();
    int64_t v = std::clamp<int64_t>(t.ValueIn(scale), 0, std::max<int64_t>(duration, 0));
    if (direction == 0) {
        int64_t q = mMovie->NextVisualSampleTime(v, +1);
        const int64_t p = mMovie->NextVisualSampleTime(v, -1);
        if (p < 0) {
            t = STimeValue{0, scale};
            return;
        }
        int64_t m;
        if (q < 0) {
            q = duration;
            m = duration;
        } else {
            m = p + (q - p) / 2;
        }
        if (p < v && v < m)
            v = (v - p < m - v) ? p : m;
        else
            v = (q - v < v - m) ? q : m;
    } else {
        const int64_t next = mMovie->NextVisualSampleTime(v, direction);
        v = next >= 0 ? next : (direction > 0 ? duration : 0);
    }
    t = STimeValue{Saturate32(v), scale};
}
