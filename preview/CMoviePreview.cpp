#include "preview/CMoviePreview.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "appearance/StDrawingContext.h"
#include "framework/gui/LControl.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "model/OutputTransform.h"
#include "model/SChangeInfo.h"
#include "model/SegmentLookup.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/StillImageCompressor.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/DecodedFrameCache.h"
#include "preview/CPreviewSoundPlayer.h"
#include "preview/QtMatrix.h"

namespace {
constexpr PaneIDT kTransportButtons[6] = {PaneIDT(FourCC("Tbeg")), PaneIDT(FourCC("Tbac")),
                                          PaneIDT(FourCC("Tstp")), PaneIDT(FourCC("Tply")),
                                          PaneIDT(FourCC("Tfwd")), PaneIDT(FourCC("Tend"))};

void CopyWorld(const OffscreenWorld& from, OffscreenWorld& to) {
    if (to.Width() != from.Width() || to.Height() != from.Height() || to.PixelFormat() != from.PixelFormat())
        to.Allocate(from.Width(), from.Height(), from.PixelFormat());
    const size_t rowBytes = size_t(from.Width()) * size_t(from.BytesPerPixel());
    for (int y = 0; y < from.Height(); ++y) std::memcpy(to.Row(y), from.Row(y), rowBytes);
}
}  // namespace

CMoviePreview::CMoviePreview(QWidget* parent) : CMediaPreview(parent), LCommander(nullptr) {}

CMoviePreview::~CMoviePreview() {
    StopRepeatTask();
    mSound.reset();
    ReleaseImages();
    DetachFromAll();
}

// ---- Construction ----

void CMoviePreview::FinishCreateSelf() {
    CMediaPreview::FinishCreateSelf();
    if (LCommander* super = LCommander::CommanderOf(parentWidget())) SetSuperCommander(super);
    StartRepeatTask();
    for (PaneIDT id : kTransportButtons)
        if (LControl* button = FindPaneByID<LControl>(window(), id)) button->Attach(this);
}

// ---- Model ----

void CMoviePreview::ForgetMovie() {
    mSound.reset();
    mRenderer.reset();
    mRendererFailed = false;
    ReleaseImages();
    mLastTime = -1;
    mMovie = nullptr;
}

void CMoviePreview::SetModel(CTambleVideoDocModel* model) {
    CMediaPreview::SetModel(model);
    ForgetMovie();
    mMovie = model != nullptr ? model->GetMovie() : nullptr;
    mWasPlaying = model != nullptr && model->IsPlaying();
    // High-quality drawing is the default here; the buffers come now.
    if (mMovie != nullptr) BuildBuffers();
    RecalcAndRefresh();
}

void CMoviePreview::Update(OSType senderKind, int32_t code, void* arg1, int32_t arg2, int32_t arg3, int32_t arg4) {
    if (senderKind != kSenderDocModel) return;
    switch (code) {
        case kChangeMovieReplaced:
            ForgetMovie();
            mMovie = static_cast<Movie*>(arg1);
            Refresh();
            return;
        case kChangeRefreshFromSource:
            SetModel(mModel);
            return;
        case kChangePlay:
            RestartSound();
            break;
        case kChangeStop:
            if (mSound) mSound->Stop();
            break;
        case kChangeCurrentTime:
            if (mSound && mSound->IsRunning()) RestartSound();
            break;
        default:
            break;
    }
    CMediaPreview::Update(senderKind, code, arg1, arg2, arg3, arg4);
}

void CMoviePreview::OnMessage(MessageT message, void* parameter) {
    switch (message) {
        case msg_GoToStart:
            if (mModel) mModel->GoToStart();
            break;
        case msg_StepBack:
            if (mModel) mModel->StepFrames(-1);
            break;
        case msg_Stop:
            if (mModel) mModel->Stop();
            Refresh();
            break;
        case msg_Play:
            if (mModel) mModel->Play();
            break;
        case msg_StepForward:
            if (mModel) mModel->StepFrames(1);
            break;
        case msg_GoToEnd:
            if (mModel) mModel->GoToEnd();
            break;
        default:
            CMediaPreview::OnMessage(message, parameter);
            break;
    }
}

// ---- Buffers ----

bool CMoviePreview::BuildBuffers() {
    if (mSource.IsEmpty() && mMovie != nullptr && mMovie->HasVideo()) {
        if (mSource.Create(mMovie->BoxWidth(), mMovie->BoxHeight())) DrawSourceFrame(true);
    }
    if (!mSource.IsEmpty() && mProcessed.IsEmpty() && IsSplit()) {
        const OffscreenWorld& source = *mSource.World();
        if (mProcessed.Create(source.Width(), source.Height())) RenderAfterImage();
    }
    return !mSource.IsEmpty();
}

int64_t CMoviePreview::FrameTimeAt(int64_t movieTime) const {
    const std::vector<int64_t>& times = mMovie->VisualSampleTimes();
    if (times.empty()) return movieTime;
    auto after = std::upper_bound(times.begin(), times.end(), movieTime);
    return after == times.begin() ? times.front() : *(after - 1);
}

bool CMoviePreview::DrawSourceFrame(bool force) {
    if (mMovie == nullptr || mSource.IsEmpty()) return false;
    const int64_t now = mMovie->CurrentTime();
    const int64_t frameTime = FrameTimeAt(now);
    if (!force && frameTime == mShownFrameTime) return false;
    if (!mRenderer && !mRendererFailed) {
        try {
            mRenderer = std::make_unique<DecodedFrameCache>(*mMovie);
        } catch (const LException&) {
            mRendererFailed = true;  // that side stays black
        }
    }
    if (!mRenderer) return false;
    mRenderer->DrawFrameAt(now, *mSource.World());
    mShownFrameTime = frameTime;
    return true;
}

void CMoviePreview::RenderAfterImage() {
    if (!IsSplit() || mSource.IsEmpty() || mProcessed.IsEmpty()) return;
    OffscreenWorld& after = *mProcessed.World();
    CopyWorld(*mSource.World(), after);
    if (GetShowFilters() && mModel != nullptr) {
        std::vector<Handle*> filters;
        for (int32_t i = 1; i <= mModel->FilterCount(); ++i)
            if (Handle* filter = mModel->GetFilter(i)) filters.push_back(filter);
        if (!filters.empty()) ApplyFilterList(after, std::span<Handle* const>(filters));
    }
    if (GetShowCompression()) {
        if (Handle* segment = FindActiveSegment()) {
            CompressedImage compressed;
            OffscreenWorld decoded;
            // A codec that cannot take the frame leaves the filtered one.
            if (CompressPreviewImage(*segment, after, compressed) && DecompressImage(compressed, decoded) &&
                decoded.Width() == after.Width() && decoded.Height() == after.Height())
                CopyWorld(decoded, after);
        }
    }
}

Handle* CMoviePreview::FindActiveSegment() const {
    if (mModel == nullptr) return nullptr;
    return FindDescriptionAt(mModel->VideoSegments(), mModel->GetCurrentTime(), SegmentRule::kPlaying);
}

void CMoviePreview::ReleaseAfterImage() { mProcessed.Release(); }

void CMoviePreview::ReleaseAfterBuffers() { mProcessed.Release(); }

void CMoviePreview::ReleaseImages() {
    mSource.Release();
    mProcessed.Release();
    mShownFrameTime = -1;
}

const OffscreenWorld* CMoviePreview::GetSourceFrame() {
    if (mMovie != nullptr) mMovie->Task();
    if (!BuildBuffers()) return nullptr;
    DrawSourceFrame(false);
    return mSource.World();
}

std::unique_ptr<OffscreenWorld> CMoviePreview::GetCurrentPicture() {
    if (mMovie == nullptr) return nullptr;
    auto picture = std::make_unique<OffscreenWorld>();
    if (mMovie->DrawCurrentFrame(*picture) != noErr) return nullptr;
    return picture;
}

bool CMoviePreview::ShowsCropHandles() const { return mModel == nullptr || !mModel->IsPlaying(); }

// ---- Drawing ----

void CMoviePreview::DrawFrame(PreviewFrameSet& set, const QRect& imageRect, const QRegion& clip,
                              const QRect* scaledCrop) {
    StDrawingContext* context = StDrawingContext::GetCurrent();
    QPainter* painter = context != nullptr ? context->GetDeviceContext() : nullptr;
    if (painter == nullptr || set.IsEmpty() || mModel == nullptr) return;
    const OffscreenWorld& world = *set.World();
    const double width = mModel->GetSourceWidth() > 0 ? mModel->GetSourceWidth() : world.Width();
    const double height = mModel->GetSourceHeight() > 0 ? mModel->GetSourceHeight() : world.Height();
    const double zoom = GetEffectiveZoom();
    MovieMatrix matrix = OutputTransform(OutputGeometry::Of(*mModel), width, height).Orientation();
    matrix.Scale(zoom, zoom);
    matrix.Translate(imageRect.left(), imageRect.top());
    if (scaledCrop != nullptr) matrix.Translate(-scaledCrop->left(), -scaledCrop->top());
    const QTransform toDevice = QTransform::fromScale(width / world.Width(), height / world.Height()) *
                                ToQTransform(matrix) *
                                QTransform::fromTranslate(context->GetOrigin().x(), context->GetOrigin().y());
    QRegion mask = clip;
    if (scaledCrop != nullptr) mask &= QRect(imageRect.topLeft(), scaledCrop->size());
    const bool smooth = zoom != 1.0 && !mModel->IsPlaying();
    set.Draw(*painter, toDevice, context->MapRegion(mask), smooth);
}

void CMoviePreview::DrawBeforeImage(const QRect& imageRect, const QRegion& clip, const QRect* scaledCrop) {
    if (!BuildBuffers()) return;
    DrawFrame(mSource, imageRect, clip, scaledCrop);
}

void CMoviePreview::DrawAfterImage(const QRect& imageRect, const QRegion& clip, const QRect* scaledCrop) {
    if (!BuildBuffers()) return;
    DrawFrame(mProcessed, imageRect, clip, scaledCrop);
    const QRect cropArea = scaledCrop != nullptr ? QRect(imageRect.topLeft(), scaledCrop->size()) : imageRect;
    DrawWatermark(cropArea, clip);
}

// ---- Playback ----

void CMoviePreview::SpendTime(const EventRecord&) {
    if (mMovie != nullptr) mMovie->Task();
    FollowSound();
    if (mModel != nullptr) mModel->SkipExcludedRange(kFixedOne);
    const bool playing = mModel != nullptr && mModel->IsPlaying();
    if (playing != mWasPlaying) {
        // The crop handles and the watermark come and go with playback.
        mWasPlaying = playing;
        if (!playing && mSound) mSound->Stop();
        Refresh();
    }
    if (mMovie == nullptr) return;
    const int64_t now = mMovie->CurrentTime();
    if (now != mLastTime) {
        mLastTime = now;
        if (mSource.IsEmpty()) BuildBuffers();
        if (DrawSourceFrame(false)) {
            RenderAfterImage();
            Refresh();
            UpdatePort();
            if (mFrameShown) mFrameShown(mShownFrameTime);
        }
    }
    // Standing still, the frames around are decoded before the next step.
    if (!playing && mRenderer) mRenderer->FillAround(now);
}

bool CMoviePreview::IsSoundPlaying() const { return mSound != nullptr && mSound->IsRunning(); }

void CMoviePreview::RestartSound() {
    if (mModel == nullptr || mMovie == nullptr || !mMovie->HasAudio()) return;
    if (!mModel->IsPlaying() || mMovie->Rate() != kFixedOne) {
        if (mSound) mSound->Stop();
        return;
    }
    if (!mSound) mSound = std::make_unique<CPreviewSoundPlayer>(mMovie->Path());
    const int32_t scale = mMovie->TimeScale();
    mSound->Start(mMovie->CurrentTime(), scale, ExcludedSpans(&mModel->ExcludedRanges()));
}

void CMoviePreview::FollowSound() {
    if (!mSound || !mSound->IsRunning() || mMovie == nullptr) return;
    if (mModel == nullptr || !mModel->IsPlaying() || mMovie->Rate() != kFixedOne) {
        mSound->Stop();
        return;
    }
    const auto heard = mSound->HeardTime();
    if (!heard) return;
    const int64_t scale = mMovie->TimeScale();
    const int64_t drift = *heard - mMovie->CurrentTime();
    // A device that stalls is no clock: the pictures go on by themselves.
    if (!mSound->IsFlowing()) return;
    const auto now = std::chrono::steady_clock::now();
    if (std::llabs(drift) <= scale / 4) {
        // The pictures follow the sound being heard, within a frame or so.
        if (std::llabs(drift) > std::max<int64_t>(1, scale / 25)) mMovie->SetCurrentTime(*heard);
    } else if (now - mSoundResynced > std::chrono::seconds(1)) {
        // Far apart after a stall: the sound catches up with the pictures
        // rather than the pictures jumping back.
        mSound->Resync(mMovie->CurrentTime() + (*heard >= mMovie->CurrentTime() ? 0 : scale / 5));
        mSoundResynced = now;
    }
}

// ---- Activation ----

void CMoviePreview::ActivateSelf() {
    if (mModel != nullptr) mModel->ResumeAfterEdit();
    Refresh();
}

void CMoviePreview::DeactivateSelf() {
    if (mModel != nullptr) mModel->PauseForEdit();
    Refresh();
}
