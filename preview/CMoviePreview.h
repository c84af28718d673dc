// The movie preview pane ('mvPV'): the media preview with the movie's
// frames. The source frame is decoded into a buffer the size of the movie
// box; the after frame is derived from it on demand (the document's
// filters in order, then one still-image compression with the codec of
// the video segment under the current time). Both are drawn through the
// output transform (flips, rotation, crop, zoom). A repeat task follows
// playback, with the movie's sound when there is an output device.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "framework/Handle.h"
#include "framework/LPeriodical.h"
#include "framework/gui/LCommander.h"
#include "preview/CMediaPreview.h"
#include "preview/PreviewFrameSet.h"

class Movie;
class DecodedFrameCache;
class CPreviewSoundPlayer;

// Transport messages.
constexpr MessageT msg_GoToStart = MessageT(FourCC("Tbeg"));
constexpr MessageT msg_StepBack = MessageT(FourCC("Tbac"));
constexpr MessageT msg_Stop = MessageT(FourCC("Tstp"));
constexpr MessageT msg_Play = MessageT(FourCC("Tply"));
constexpr MessageT msg_StepForward = MessageT(FourCC("Tfwd"));
constexpr MessageT msg_GoToEnd = MessageT(FourCC("Tend"));

class CMoviePreview : public CMediaPreview, public LCommander, public LPeriodical {
    Q_OBJECT

public:
    static constexpr OSType kClassID = FourCC("mvPV");

    explicit CMoviePreview(QWidget* parent = nullptr);
    ~CMoviePreview() override;

    void OnMessage(MessageT message, void* parameter) override;
    void DrawBeforeImage(const QRect& imageRect, const QRegion& clip, const QRect* scaledCrop) override;
    void DrawAfterImage(const QRect& imageRect, const QRegion& clip, const QRect* scaledCrop) override;
    void SetModel(CTambleVideoDocModel* model) override;
    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;
    std::unique_ptr<OffscreenWorld> GetCurrentPicture() override;
    bool ShowsCropHandles() const override;
    void ReleaseAfterImage() override;
    void ReleaseAfterBuffers() override;
    void ReleaseImages() override;

    // The repeat task: follows the movie's time.
    void SpendTime(const EventRecord& event) override;

    // The source frame for the four-up panes (the movie task runs once
    // first); null when there is none.
    const OffscreenWorld* GetSourceFrame();

    // The video segment that governs the current movie time, or null.
    Handle* FindActiveSegment() const;
    // Builds the after frame from the source frame.
    void RenderAfterImage();

    bool HasSourceSet() const { return !mSource.IsEmpty(); }
    bool HasProcessedSet() const { return !mProcessed.IsEmpty(); }
    const OffscreenWorld* GetProcessedFrame() const { return mProcessed.World(); }
    Movie* GetMovie() const { return mMovie; }
    // Whether the sound is playing through a device right now.
    bool IsSoundPlaying() const;

    // Told of every frame that reaches the screen (its presentation time),
    // for measuring playback.
    void SetFrameShownObserver(std::function<void(int64_t frameTime)> observer) {
        mFrameShown = std::move(observer);
    }

protected:
    void FinishCreateSelf() override;
    void ActivateSelf() override;
    void DeactivateSelf() override;

private:
    bool BuildBuffers();
    // Decodes the frame of the current time into the source buffer when it
    // is another frame than the one there; true when it changed.
    bool DrawSourceFrame(bool force);
    int64_t FrameTimeAt(int64_t movieTime) const;
    void DrawFrame(PreviewFrameSet& set, const QRect& imageRect, const QRegion& clip, const QRect* scaledCrop);
    void ForgetMovie();
    void FollowSound();
    void RestartSound();

    Movie* mMovie = nullptr;
    int64_t mLastTime = -1;
    int64_t mShownFrameTime = -1;
    PreviewFrameSet mSource;
    PreviewFrameSet mProcessed;
    std::unique_ptr<DecodedFrameCache> mRenderer;
    bool mRendererFailed = false;
    std::unique_ptr<CPreviewSoundPlayer> mSound;
    std::chrono::steady_clock::time_point mSoundResynced{};
    bool mWasPlaying = false;
    std::function<void(int64_t)> mFrameShown;
};
