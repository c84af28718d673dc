#include "compress/CMovieCompressor.h"

#include <algorithm>

#include "compress/CopiedTrackPass.h"
#include "compress/SoundTrackPass.h"
#include "compress/StopSignals.h"
#include "compress/SystemMemory.h"
#include "compress/UnreadableWarning.h"
#include "framework/Ticks.h"
#include "model/DescriptionTime.h"
#include "model/ExcludedSpans.h"
#include "model/FrameTiming.h"
#include "model/OutputTransform.h"
#include "model/TrackClock.h"
#include "model/SegmentLookup.h"
#include "model/WatermarkPlacement.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/OutputCodecCheck.h"
#include "platform/media/encode/OutputColour.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/image/ImageFileReader.h"
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
constexpr uint32_t kPollInterval = 30;  // ticks

std::string Text(int16_t item, const char* fallback) {
    std::string s = GetIndString(kStrings, item);
    return s.empty() ? fallback : s;
}

int32_t Tenths(const STimeValue& t) { return t.ValueIn(10); }

const Handle* FirstSegment(const CDescriptionList* segments) {
    return segments && segments->Count() > 0 ? segments->Get(1) : nullptr;
}

}  // namespace

CMovieCompressor::CMovieCompressor(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                                   CompressionProgress& progress)
    : mSource(source), mDestination(destination), mSettings(settings), mProgress(progress) {}

CMovieCompressor::~CMovieCompressor() { mProgress.Close(); }

OSErr CMovieCompressor::Fail(OSErr code, const std::string& message) {
    if (mMessage.empty() || mResult == noErr) mMessage = message;
    mResult = code;
    return code;
}

void CMovieCompressor::Warn(const std::string& message) {
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
    mNextPoll = TickCount() + kPollInterval;
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

    // No encoder takes a larger picture, and a stored output size can say
    // anything: refuse before the frame buffers are allocated for it.
    constexpr int kMaxFrameSide = 16384;
    if (frameWidth > kMaxFrameSide || frameHeight > kMaxFrameSide)
        return Fail(memFullErr, "A " + std::to_string(frameWidth) + " x " + std::to_string(frameHeight) +
                                    " picture is larger than any codec takes (at most " +
                                    std::to_string(kMaxFrameSide) + " on a side).");
    const uint64_t needed = uint64_t(frameWidth) * uint64_t(frameHeight) * 4 + 4069;
    if (AvailablePhysicalMemory() < needed)
        return Fail(memFullErr, "There is not enough memory for a " + std::to_string(frameWidth) + " x " +
                                    std::to_string(frameHeight) + " picture.");
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
    const bool isMp4 = MovieWriter::IsMp4Path(mDestination.Path());
    std::string message;
    if (mMovie->HasVideo() && mSettings.videoSegments && mSettings.videoSegments->Count() > 0) {
        std::vector<Handle> segments;
        for (int32_t i = 1; i <= mSettings.videoSegments->Count(); ++i) {
            const Handle* h = mSettings.videoSegments->Get(i);
            segments.push_back(h ? *h : Handle());
        }
        if (!CheckSegmentCodecs(segments, message)) return Fail(kMixedCodecsErr, message);
        const VideoSettings settings = FirstVideoSettings();
        if (!CheckContainerAcceptsVideo(settings.codecType, isMp4, message)) return Fail(kContainerCodecErr, message);
        // A size from the source is trimmed to what the codec takes; a size
        // the user chose is refused before anything is written.
        int width = mFrameBuffer.Width(), height = mFrameBuffer.Height();
        const bool userSize = mSettings.outputWidth > 0 && mSettings.outputHeight > 0;
        if (!FitFrameSizeToCodec(settings.codecType, settings.depth, userSize, width, height, message))
            return Fail(kBadFrameSizeErr, message);
        if (!message.empty()) Warn(message);
    }
    const CDescriptionList* sound = mSettings.audioSegments;
    if (mMovie->HasAudio() && sound && sound->Count() > 0 && sound->Get(1)) {
        try {
            const SoundSettings first = SoundSettings::FromHandle(*sound->Get(1));
            if (!CheckContainerAcceptsSound(first.compressionType, isMp4, message))
                return Fail(kContainerCodecErr, message);
        } catch (const LException&) {
        }
    }
    return noErr;
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
    const Handle* settings = FirstSegment(mSettings.audioSegments);
    std::string note;
    try {
        mSound = std::make_unique<SoundTrackPass>(mSource.Path(), settings,
                                                  MovieWriter::IsMp4Path(mDestination.Path()), note);
    } catch (const LException& e) {
        if (!note.empty()) Warn(note);
        Warn(std::string("The sound is left out: ") + e.what());
        return;
    }
    if (!note.empty()) Warn(note);
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
        mCopiedTracks = std::make_unique<CopiedTrackPass>(mSource.Path(), MovieWriter::IsMp4Path(mDestination.Path()),
                                                          mSettings.excludedRanges, ExactTime(mTotal));
        std::string notes;
        for (const std::string& note : mCopiedTracks->Notes()) notes += (notes.empty() ? "" : " ") + note;
        if (!notes.empty()) Warn(notes);
    } catch (const LException& e) {
        mCopiedTracks.reset();
        Warn(std::string("Only the picture and the first sound track are kept: ") + e.what());
    }
}

void CMovieCompressor::AddCopiedTracks() {
    if (!mCopiedTracks) return;
    try {
        mCopiedTracks->AddTo(mOutput.Writer());
    } catch (const LException& e) {
        mCopiedTracks.reset();
        Warn(std::string("Only the picture and the first sound track are kept: ") + e.what());
    }
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
    mSequence.reset();
    mHaveCurrentSegment = false;
    mCurrentSegment = nullptr;
    if (!mOutput.IsOpen()) return kNoOutputMovieErr;
    mFilterChain.clear();
    if (mSettings.filters)
        for (int32_t i = 1; i <= mSettings.filters->Count(); ++i)
            if (Handle* f = mSettings.filters->Get(i)) mFilterChain.push_back(f);
    ChooseColour();
    PrepareWatermark();
    return noErr;
}

// The output's colours are chosen once, from the source and the codec, and
// every step follows them. Without filters, frames for 4:2:0 encoders are
// drawn straight into a YUV frame buffer: no round trip through RGB.
void CMovieCompressor::ChooseColour() {
    const VideoSettings settings = FirstVideoSettings();
    const VideoCodecInfo* codec = VideoCodecTable::Find(settings.codecType);
    if (!codec || !mRenderer) return;
    const MovieLayout& layout = mMovie->Layout();
    const OutputColour colour =
        OutputColour::Choose(layout.colour, layout.codedWidth, layout.codedHeight, *codec, settings.depth);
    if (!colour.note.empty()) Warn(colour.note);
    mRenderer->SetColour(colour.source, colour.toneMap);
    OffscreenWorld::Format planar;
    if (mFilterChain.empty() && colour.PlanarWorld(planar))
        mFrameBuffer.Allocate(mFrameBuffer.Width(), mFrameBuffer.Height(), planar);
    mFrameBuffer.SetColour(colour.output);
}

// Unreadable settings count as the defaults; the job reports them later.
VideoSettings CMovieCompressor::FirstVideoSettings() const {
    const Handle* first = FirstSegment(mSettings.videoSegments);
    try {
        if (first) return VideoSettings::FromHandle(*first);
    } catch (const LException&) {
    }
    return VideoSettings();
}

void CMovieCompressor::PrepareWatermark() {
    mPlanarWatermark = PlanarOverlay();
    if (!mSettings.watermarkFile.IsSet()) return;
    mWatermark = std::make_unique<ImageFileReader>(mSettings.watermarkFile);
    if (!mWatermark->HasImporter()) {
        Warn("The watermark \"" + mSettings.watermarkFile.FileName(true) + "\" cannot be read, so it is left out.");
        mWatermark.reset();
        return;
    }
    const Rect frame = MakeRect(0, 0, mFrameBuffer.Width(), mFrameBuffer.Height());
    const int32_t placement = int32_t(mSettings.watermarkPlacement);
    mWatermark->SetDestRect(PlaceRectInFrame(mWatermark->NaturalBounds(), frame, placement));
    mWatermark->SetGraphicsMode(kGraphicsModePreWhiteAlpha);
    if (!mFrameBuffer.IsPlanar()) {
        mWatermark->SetDrawingWorld(&mFrameBuffer);
        return;
    }
    // The same picture every frame: drawn once over nothing, then blended in YUV.
    OffscreenWorld picture(mFrameBuffer.Width(), mFrameBuffer.Height(), OffscreenWorld::Format::RGBA32);
    picture.Fill(0, 0, 0, 0);
    mWatermark->SetDrawingWorld(&picture);
    mWatermark->Draw();
    mPlanarWatermark.Prepare(picture, mFrameBuffer.Colour());
    mWatermark.reset();
}

// The segment's frame rate (16.16); 0, "as the source", when unreadable.
uint32_t CMovieCompressor::SegmentFrameRate(const Handle* segment) {
    try {
        if (segment) return VideoSettings::FromHandle(*segment).frameRate;
    } catch (const LException&) {
    }
    return 0;
}

// How long the frame at t lasts: at the segment's own rate, or as the
// source does, until its next frame (or where its readable pictures end).
ExactTime CMovieCompressor::FrameDurationAt(const ExactTime& t, const STimeValue& segmentEnd) const {
    ExactTime nextSourceFrame = mTotal;
    RationalTime next;
    if (mCurrentFrameDuration.value == 0) {
        if (mRenderer->NextFrameTime(next) || mRenderer->ReadableEnd(next))
            nextSourceFrame = ExactTime(next.value * next.num, next.den);
        if (nextSourceFrame <= t) nextSourceFrame = t + ExactTime(1, 30);
    }
    return OutputFrameDuration(t, mCurrentFrameDuration, nextSourceFrame, segmentEnd,
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
    if (mWatermark) mWatermark->Draw();
    else mPlanarWatermark.BlendInto(mFrameBuffer);

    if (!mSettings.videoSegments || mSettings.videoSegments->Count() == 0) return kNoSettingsSegmentErr;
    const Handle* segment = FindDescriptionAt(*mSettings.videoSegments, t, SegmentRule::kCompressing);
    STimeValue segmentStart, segmentEnd;
    GetDescriptionTime(segment, segmentStart, segmentEnd);

    try {
        if (!mSequence || !mHaveCurrentSegment || segment != mCurrentSegment) {
            if (mSequence) {
                mPackets.clear();
                mSequence->End(mPackets);
                WriteVideoPackets();
            }
            mCurrentSegment = segment;
            mCurrentFrameDuration = FrameDurationForRate(SegmentFrameRate(segment));
            mHaveCurrentSegment = true;
            mSequence = std::make_unique<ImageCompressionSequence>(mFrameBuffer, segment, mMovie->VideoFrameRate(),
                                                                   mSettings.videoSegments->Count() == 1);
            mSequence->Begin();
            if (!mOutput.Writer().HasVideoTrack()) {
                mOutput.Writer().AddVideoTrack(mSequence->Encoder());
                AddSoundTrack();
                AddCopiedTracks();
            }
        }

        const ExactTime duration = FrameDurationAt(t, segmentEnd);
        // Output times run on without the excluded spans.
        int64_t start600 = 0, length600 = 0;
        mOutputClock.Add(duration, start600, length600);
        mPackets.clear();
        mSequence->CompressFrame(start600, length600, mPackets);
        WriteVideoPackets();
        t = t + duration;
    } catch (const LException& e) {
        return Fail(OSErr(e.Code()), std::string("The video could not be compressed: ") + e.what());
    }
    return noErr;
}

void CMovieCompressor::WriteVideoPackets() {
    for (const EncodedPacket& p : mPackets) {
        mOutput.Writer().WriteVideoPacket(p);
        mProgress.AddFrame(int32_t(std::min<size_t>(p.data.size(), INT32_MAX)), int32_t(p.duration), p.keyFrame);
    }
}

OSErr CMovieCompressor::EndVideo() {
    OSErr result = noErr;
    // A cancelled run does not wait for the frames the encoder holds back.
    if (mSequence && !mCancelled) {
        try {
            mPackets.clear();
            mSequence->End(mPackets);
            WriteVideoPackets();
        } catch (const LException& e) {
            result = Fail(OSErr(e.Code()), std::string("The video could not be finished: ") + e.what());
        }
    }
    mSequence.reset();
    mWatermark.reset();
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
    if (Stopped()) return true;
    const int32_t total = Tenths(mTotal);
    const int percent = total > 0 ? int(int64_t(Tenths(current)) * 100 / total) : 0;
    const uint32_t now = TickCount();
    if (percent != mProgress.Bar() || now > mNextPoll) {
        mProgress.SetBar(percent);
        if (mProgress.Poll() == CompressionProgress::kCancelMessage) {
            mCancelled = true;
            mResult = CompressionProgress::kCancelMessage;
            return true;
        }
        mNextPoll = now + kPollInterval;
    }
    return false;
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
