// The compression job: turns one source movie into one output movie with a
// document's settings. One run opens the source, draws every frame through
// the movie's transform into one reused frame buffer, runs the filters,
// lays the watermark over it, compresses it with the encoder of the
// segment that covers its time, converts or copies the sound, and writes
// the output under a temporary name that becomes the destination only when
// everything succeeded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compress/AheadSoundConverter.h"
#include "compress/CompressionProgress.h"
#include "compress/FrameWatermark.h"
#include "compress/OutputMovieFile.h"
#include "compress/ProgressPacer.h"
#include "model/ExactTime.h"
#include "model/SCompressSettings.h"
#include "model/TimeValue.h"
#include "platform/media/OffscreenWorld.h"

class CopiedTrackPass;
class Movie;
class MovieFrameRenderer;
class SoundTrackPass;
class VideoTrackPass;

// Result codes of the job itself.
constexpr OSErr kNoSettingsSegmentErr = -2006;  // no video segment for a frame
constexpr OSErr kNoOutputMovieErr = -2010;
constexpr OSErr kNotAFileErr = -1302;  // the destination is a folder, device, pipe or socket

class CMovieCompressor {
public:
    CMovieCompressor(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                     CompressionProgress& progress);
    ~CMovieCompressor();
    CMovieCompressor(const CMovieCompressor&) = delete;
    CMovieCompressor& operator=(const CMovieCompressor&) = delete;

    // 0 when the destination was written or the user cancelled.
    OSErr Run();
    // A sentence for the user when Run failed; warnings otherwise.
    const std::string& Message() const { return mMessage; }
    bool WasCancelled() const { return mCancelled; }

private:
    OSErr OpenSource();
    OSErr CheckSettings();
    OSErr CreateTemporaryMovie();
    void PrepareCopiedTracks();
    void AddCopiedTracks();
    void LeaveOutCopiedTracks(const LException& e);
    void CopyTracks();
    void PrepareSound();
    void AddSoundTrack();
    OSErr BeginVideo();
    OSErr CompressFrame(ExactTime& t);
    ExactTime FrameDurationAt(const ExactTime& t, const STimeValue& segmentEnd) const;
    OSErr EndVideo();
    std::vector<AheadSoundConverter::Span> AudioSpans() const;
    void WriteSound();
    void Finish();

    bool Stopped();
    bool PollProgress(const STimeValue& current);
    bool ForMp4() const;
    OSErr Fail(OSErr code, const std::string& message);
    void Warn(const std::string& message);
    void WarnOfUnreadableParts();

    FSSpec mSource;
    FSSpec mDestination;
    OutputMovieFile mOutput;  // the temporary file and the movie written into it
    const SCompressSettings mSettings;  // its lists are the document's

    CompressionProgress& mProgress;
    ProgressPacer mPacer{mProgress};
    std::unique_ptr<Movie> mMovie;
    std::unique_ptr<MovieFrameRenderer> mRenderer;
    std::unique_ptr<CopiedTrackPass> mCopiedTracks;
    OffscreenWorld mFrameBuffer;
    std::unique_ptr<VideoTrackPass> mVideo;
    FrameWatermark mWatermark;
    std::vector<Handle*> mFilterChain;

    std::unique_ptr<SoundTrackPass> mSound;  // none without sound, or when it is left out

    int32_t mMovieScale = 600;   // S0
    STimeValue mTotal;           // (D, S0)
    ExactTime mPicturesReadUntil{-1, 1};  // where unreadable pictures begin, when they do
    bool mCancelled = false;
    OSErr mResult = noErr;
    std::string mMessage;
};
