#include "compress/CMovieCompressor.h"

#include <algorithm>

#include "compress/CopiedTrackPass.h"
#include "compress/FrameColour.h"
#include "compress/OutputSettingsCheck.h"
#include "compress/SoundTrackPass.h"
#include "compress/StopSignals.h"
#include "compress/UnreadableWarning.h"
#include "compress/VideoTrackPass.h"
#include "model/DescriptionTime.h"
#include "model/ExcludedSpans.h"
#include "model/FrameTiming.h"
#include "model/OutputTransform.h"
#include "model/SegmentLookup.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"
#include "resources/StringLists.h"

namespace {

constexpr int16_t kStrings = 1002;
constexpr int16_t kVideoStatus = 27;
constexpr int16_t kSoundStatus = 28;
constexpr int16_t kWritingStatus = 29;
constexpr int16_t kTitlePrefix = 30;
constexpr int16_t kTemporaryName = 31;

std::string Text(int16_t item, const char* fallback) {
    std::string s = GetIndString(kStrings, item);
    return s.empty() ? fallback : s;
}

const Handle* FirstSegment(const CDescriptionList* segments) {
    return segments && segments->Count() > 0 ? segments->Get(1) : nullptr;
}

}  // namespace

CMovieCompressor::CMovieCompressor(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                                   CompressionProgress& progress)
    : mSource(source), mDestination(destination), mSettings(settings), mProgress(progress) {}

CMovieCompressor::~CMovieCompressor() { mProgress.Close(); }

bool CMovieCompressor::ForMp4() const { return MovieWriter::IsMp4Path(mDestination.Path()); }

OSErr CMovieCompressor::Fail(OSErr code, const std::string& message) {
    if (mMessage.empty() || mResult == noErr) mMessage = message;
    mResult = code;
    return code;
}

void CMovieCompressor::Warn(const std::string& message) {
    if (message.empty()) return;
    mProgress.Warn(message);
    if (mResult == noErr) mMessage += (mMessage.empty() ? "" : "\n") + message;
}

// Says which parts of a damaged source the output leaves out.
void CMovieCompressor::WarnOfUnreadableParts() {
    std::vector<UnreadableSpan> spans;
    const double end = ExactTime(mTotal).Seconds();
    if (mPicturesReadUntil.value >= 0) spans.push_back({"pictures", mPicturesReadUntil.Seconds(), end});
    RationalTime sound;
    if (mSound && mSound->ReadableEnd(sound)) spans.push_back({"sound", sound.Seconds(), end});
    if (!spans.empty()) Warn(UnreadableWarning(mSource.FileName(true), spans));
    // Damage inside the file: the decoders patched up or skipped what they could not read.
    std::vector<UnreadableSpan> damaged;
    RationalTime from, to;
    if (mRenderer && mRenderer->DamagedSpan(from, to)) damaged.push_back({"pictures", from.Seconds(), to.Seconds()});
    if (mSound && mSound->DamagedSpan(from, to)) damaged.push_back({"sound", from.Seconds(), to.Seconds()});
    if (!damaged.empty()) Warn(UndecodableWarning(mSource.FileName(true), damaged));
    RationalTime reached;
    if (mRenderer && mRenderer->TimesStartOverLater(reached))
        Warn(StartOverWarning(mSource.FileName(true), reached.Seconds()));
}

OSErr CMovieCompressor::Run() {
    // A device, pipe or folder at the destination is refused before any work.
    if (const std::string why = SafeOutputFile::CheckDestination(mDestination.Path()); !why.empty())
        return Fail(kNotAFileErr, why);
    mProgress.Open(Text(kTitlePrefix, "Compressing") + " " + mDestination.FileName(true));
    mProgress.SetStatus(Text(kTitlePrefix, "Compressing") + " " + mDestination.FileName(true));
    if (OSErr err = OpenSource()) return err;
    if (OSErr err = CheckSettings()) return err;
    if (OSErr err = CreateTemporaryMovie()) return err;

    mMovieScale = mMovie->TimeScale();
    mTotal = STimeValue{int32_t(std::min<int64_t>(mMovie->Duration(), INT32_MAX)), mMovieScale};
    mPacer.Start(mTotal);
    PrepareCopiedTracks();
    PrepareSound();

    // The video pass.
    if (mMovie->HasVideo() && mResult == noErr) {
        mProgress.SetStatus(Text(kVideoStatus, "Compressing the video..."));
        if (BeginVideo() == noErr) {
            mProgress.ResetGraph(DataRateTracker::kVideo);
            ExactTime t(0, mMovieScale);
            while (t < mTotal) {
                if (PollProgress(t.ToTimeValue(mMovieScale))) break;
                if (const TimeRange* r = ExcludedSpans(mSettings.excludedRanges).At(t)) t = r->end;
                if (t < mTotal && CompressFrame(t) != noErr) break;
            }
            EndVideo();
        }
    }

    // The sound pass: what the converter made ahead is written now.
    if (mSound && mOutput.Writer().HasSoundTrack() && !mCancelled && mResult == noErr) {
        mProgress.SetStatus(Text(kSoundStatus, "Compressing the sound..."));
        mProgress.SetBar(0);
        mProgress.ResetGraph(DataRateTracker::kAudio);
        WriteSound();
    }
    if (!mCancelled && mResult == noErr) CopyTracks();
    if (!mCancelled && mResult == noErr) WarnOfUnreadableParts();
    if (!mCancelled && mResult == noErr && mRenderer && mRenderer->MetInterlacedPictures())
        Warn("The pictures of " + mSource.FileName(true) +
             " are interlaced: each frame is made whole from its two fields (deinterlaced).");

    Finish();
    const OSErr result = mResult;
    return (result == kSoundCancelledErr || result == CompressionProgress::kCancelMessage) ? noErr : result;
}

// ---------------------------------------------------------------- set-up

OSErr CMovieCompressor::OpenSource() {
    try {
        mMovie = Movie::Open(mSource.Path());
    } catch (const LException& e) {
        const OSErr code = e.Code() ? OSErr(e.Code()) : OSErr(1);
        return Fail(code, "\"" + mSource.FileName(true) + "\" cannot be opened as a movie: " + e.what());
    }
    if (!mMovie) return Fail(1, "\"" + mSource.FileName(true) + "\" cannot be opened as a movie.");
    if (!mMovie->HasVideo()) return noErr;

    const OutputTransform transform(OutputGeometry{mSettings.flipHorizontal, mSettings.flipVertical, mSettings.rotation,
                                                   mSettings.crop, mSettings.outputWidth, mSettings.outputHeight},
                                    mMovie->BoxWidth(), mMovie->BoxHeight());
    const MovieMatrix& matrix = transform.ToFrame();
    const int frameWidth = transform.FrameWidth();
    const int frameHeight = transform.FrameHeight();

    std::string why;
    if (const OSErr err = CheckFrameSize(frameWidth, frameHeight, why)) return Fail(err, why);
    try {
        mRenderer = std::make_unique<MovieFrameRenderer>(*mMovie);
        mRenderer->SetMatrix(matrix, frameWidth, frameHeight);
    } catch (const LException& e) {
        return Fail(OSErr(e.Code()), "The pictures of \"" + mSource.FileName(true) + "\" cannot be decoded: " + e.what());
    }
    mFrameBuffer.Allocate(frameWidth, frameHeight, OffscreenWorld::Format::RGB24);
    // A movie whose index promises pictures that are not there (the data
    // cut off, a header alone) would come out as nothing but black.
    if (mRenderer->DrawFrameAt(0, mFrameBuffer) == kCodecErr)
        return Fail(kCodecErr, "The pictures of \"" + mSource.FileName(true) +
                                   "\" cannot be read: the file is damaged or incomplete.");
    return noErr;
}

// Refuses, before anything is written, what the output cannot hold.
OSErr CMovieCompressor::CheckSettings() {
    std::string message, warning;
    const OSErr err = CheckOutputSettings(mSettings, mMovie->HasVideo(), mMovie->HasAudio(), mFrameBuffer.Width(),
                                          mFrameBuffer.Height(), ForMp4(), message, warning);
    Warn(warning);
    return err == noErr ? noErr : Fail(err, message);
}

OSErr CMovieCompressor::CreateTemporaryMovie() {
    std::string why;
    const OSErr err = mOutput.Create(mDestination, Text(kTemporaryName, ".movelark-compressing.mov"), why);
    return err == noErr && why.empty() ? noErr : Fail(err, why);
}

// Every track must be known before the first packet, so the sound is set up
// now although its samples come after the video's; its track follows the
// video track, which players expect first.
void CMovieCompressor::PrepareSound() {
    if (!mMovie->HasAudio()) return;
    std::vector<std::string> notes;
    mSound = SoundTrackPass::Open(mSource.Path(), FirstSegment(mSettings.audioSegments), ForMp4(), notes);
    for (const std::string& note : notes) Warn(note);
    // With no picture to come, the sound track is the first and only one.
    if (!mMovie->HasVideo() || !mSettings.videoSegments || mSettings.videoSegments->Count() == 0) {
        AddSoundTrack();
        AddCopiedTracks();
    }
    // The sound is converted on its own thread while the pictures are compressed.
    if (mSound) mSound->Start(AudioSpans());
}

void CMovieCompressor::AddSoundTrack() {
    if (!mSound) return;
    try {
        mSound->AddTo(mOutput.Writer());
    } catch (const LException& e) {
        mSound.reset();
        Warn(std::string("The sound is left out: ") + e.what());
    }
}

// The other sound tracks, the subtitles, chapters and details go along.
void CMovieCompressor::PrepareCopiedTracks() {
    try {
        mCopiedTracks = std::make_unique<CopiedTrackPass>(mSource.Path(), ForMp4(),
                                                          mSettings.excludedRanges, ExactTime(mTotal));
        std::string notes;
        for (const std::string& note : mCopiedTracks->Notes()) notes += (notes.empty() ? "" : " ") + note;
        Warn(notes);
    } catch (const LException& e) {
        LeaveOutCopiedTracks(e);
    }
}

void CMovieCompressor::AddCopiedTracks() {
    if (!mCopiedTracks) return;
    try {
        mCopiedTracks->AddTo(mOutput.Writer());
    } catch (const LException& e) {
        LeaveOutCopiedTracks(e);
    }
}

void CMovieCompressor::LeaveOutCopiedTracks(const LException& e) {
    mCopiedTracks.reset();
    Warn(std::string("Only the picture and the first sound track are kept: ") + e.what());
}

void CMovieCompressor::CopyTracks() {
    AddCopiedTracks();  // a movie with neither picture nor sound has not added them yet
    if (!mCopiedTracks || !mCopiedTracks->HasTracks()) return;
    try {
        mCopiedTracks->Copy(mOutput.Writer(),
                            [this](const ExactTime& t) { return PollProgress(t.ToTimeValue(mMovieScale)); });
    } catch (const LException& e) {
        Fail(OSErr(e.Code()), std::string("The other tracks could not be copied: ") + e.what());
    }
}

// ---------------------------------------------------------------- video

OSErr CMovieCompressor::BeginVideo() {
    if (!mOutput.IsOpen()) return kNoOutputMovieErr;
    mVideo = std::make_unique<VideoTrackPass>(mOutput.Writer(), mProgress, mFrameBuffer, mMovie->VideoFrameRate(),
                                              mSettings.videoSegments->Count() == 1);
    mFilterChain.clear();
    if (mSettings.filters)
        for (int32_t i = 1; i <= mSettings.filters->Count(); ++i)
            if (Handle* f = mSettings.filters->Get(i)) mFilterChain.push_back(f);
    // Unreadable settings count as the defaults; the check has reported them.
    const VideoSettings first = VideoSettings::ReadOrDefaults(FirstSegment(mSettings.videoSegments));
    Warn(ChooseFrameColour(*mMovie, *mRenderer, first, mFilterChain.empty(), mFrameBuffer));
    Warn(mWatermark.Prepare(mSettings.watermarkFile, int32_t(mSettings.watermarkPlacement), mFrameBuffer));
    return noErr;
}

// How long the frame at t lasts: at the segment's own rate, or as the
// source does, until its next frame (or where its readable pictures end).
ExactTime CMovieCompressor::FrameDurationAt(const ExactTime& t, const STimeValue& segmentEnd) const {
    ExactTime nextSourceFrame = mTotal;
    RationalTime next;
    if (mVideo->SegmentFrameDuration().value == 0) {
        if (mRenderer->NextFrameTime(next) || mRenderer->ReadableEnd(next))
            nextSourceFrame = ExactTime(next.value * next.num, next.den);
        if (nextSourceFrame <= t) nextSourceFrame = t + ExactTime(1, 30);
    }
    return OutputFrameDuration(t, mVideo->SegmentFrameDuration(), nextSourceFrame, segmentEnd,
                               ExcludedSpans(mSettings.excludedRanges).NextStart(t, mTotal));
}

OSErr CMovieCompressor::CompressFrame(ExactTime& t) {
    mRenderer->DrawFrameAt(RationalTime{t.value, 1, int(t.scale)}, mFrameBuffer);
    RationalTime readable;
    if (mRenderer->ReadableEnd(readable) && t >= ExactTime(readable.value * readable.num, readable.den)) {
        mPicturesReadUntil = ExactTime(readable.value * readable.num, readable.den);
        return kCodecErr;  // the rest of the pictures cannot be read: the pass ends here
    }
    if (!mFilterChain.empty()) ApplyFilterList(mFrameBuffer, mFilterChain);
    mWatermark.DrawOver(mFrameBuffer);

    if (!mSettings.videoSegments || mSettings.videoSegments->Count() == 0) return kNoSettingsSegmentErr;
    const Handle* segment = FindDescriptionAt(*mSettings.videoSegments, t, SegmentRule::kCompressing);
    STimeValue segmentStart, segmentEnd;
    GetDescriptionTime(segment, segmentStart, segmentEnd);

    try {
        if (mVideo->UseSegment(segment)) {  // the video track is the first
            AddSoundTrack();
            AddCopiedTracks();
        }
        const ExactTime duration = FrameDurationAt(t, segmentEnd);
        mVideo->AddFrame(duration);
        t = t + duration;
    } catch (const LException& e) {
        return Fail(OSErr(e.Code()), std::string("The video could not be compressed: ") + e.what());
    }
    return noErr;
}

OSErr CMovieCompressor::EndVideo() {
    OSErr result = noErr;
    try {
        if (mVideo) mVideo->End(mCancelled);
    } catch (const LException& e) {
        result = Fail(OSErr(e.Code()), std::string("The video could not be finished: ") + e.what());
    }
    mVideo.reset();
    mWatermark.Clear();
    return result;
}

// ---------------------------------------------------------------- sound

// The spans of source sound the output keeps: up to each cut, as the
// pictures go, so that no number of cuts moves sound and picture apart.
std::vector<AheadSoundConverter::Span> CMovieCompressor::AudioSpans() const {
    std::vector<AheadSoundConverter::Span> spans;
    STimeValue t{0, mMovieScale};
    if (const TimeRange* r = ExcludedSpans(mSettings.excludedRanges).At(t)) t = r->end;
    while (t < mTotal) {
        STimeValue boundary = t;
        const bool last = ExcludedSpans(mSettings.excludedRanges).NextBoundary(boundary, mTotal);
        if (boundary > t) spans.push_back({t, boundary});
        t = boundary;
        if (last) break;
        ExcludedSpans(mSettings.excludedRanges).NextBoundary(t, mTotal);
    }
    return spans;
}

void CMovieCompressor::WriteSound() {
    std::string why;
    const OSErr result = mSound->Write(mOutput.Writer(), mProgress, mSettings.excludedRanges, mTotal,
                                       [this](const STimeValue& t) { return PollProgress(t); }, why);
    if (result == CompressionProgress::kCancelMessage) {
        mCancelled = true;
        Stopped();  // a stop signal is kept as the run's result
    } else if (result != noErr || !why.empty()) {
        Fail(result, why);
    }
}

// ---------------------------------------------------------------- time

// A stop signal cancels like the Cancel button, without waiting for a poll.
bool CMovieCompressor::Stopped() {
    if (!StopSignals::Received()) return false;
    mCancelled = true;
    mResult = CompressionProgress::kCancelMessage;
    return true;
}

// True when the run was cancelled.
bool CMovieCompressor::PollProgress(const STimeValue& current) {
    if (!Stopped() && !mPacer.Cancelled(current)) return false;
    mCancelled = true;
    mResult = CompressionProgress::kCancelMessage;
    return true;
}

// ---------------------------------------------------------------- finish

void CMovieCompressor::Finish() {
    if (mSound) mSound->Stop();
    if (!mOutput.IsOpen()) return;
    if (mResult == noErr && !mCancelled && !Stopped()) {
        mProgress.SetBar(100);  // every pass is done
        mProgress.SetStatus(Text(kWritingStatus, "Writing the movie file..."));
        mProgress.Poll();
        // A signal while the movie was being finished still cancels it.
        std::string why;
        const OSErr err = mOutput.Commit([this] { return Stopped(); }, why);
        if (err != noErr || !why.empty()) Fail(err, why);
    }
    mOutput.Discard();
    mProgress.Close();
}
