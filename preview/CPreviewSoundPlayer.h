// The sound of a playing preview: decodes the movie's sound from a movie
// time onward, skipping the document's excluded spans, for the default
// audio output (Qt Multimedia), which pulls it as it needs it. It also
// tells which movie time is being heard, so the pictures can follow the
// sound. Without an output device, or for a movie without sound, it stays
// silent and the preview plays on the monotonic clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/ExcludedSpans.h"
#include "platform/media/source/SoundReader.h"

class QAudioSink;
class QIODevice;

class CPreviewSoundPlayer {
public:
    explicit CPreviewSoundPlayer(std::string moviePath);
    ~CPreviewSoundPlayer();
    CPreviewSoundPlayer(const CPreviewSoundPlayer&) = delete;
    CPreviewSoundPlayer& operator=(const CPreviewSoundPlayer&) = delete;

    // Whether the system has an audio output at all.
    static bool HasOutputDevice();

    // Starts the sound at a movie time (in timeScale units); false, and
    // silence, when there is no device or no sound to play. The excluded
    // spans are the document's, read as they are when each piece of sound
    // is decoded.
    bool Start(int64_t movieTime, int32_t timeScale, ExcludedSpans excluded);
    void Stop();
    bool IsRunning() const { return mSink != nullptr; }
    // Goes on from another movie time without restarting the device: what
    // the device holds still plays, then the sound from there.
    void Resync(int64_t movieTime);
    // The movie time being heard now (timeScale units); none when silent or
    // before the first sound came out. Chunks already heard are forgotten.
    std::optional<int64_t> HeardTime();
    // Whether the heard time moved lately: a device that stalls (or has not
    // started yet) is no clock to follow.
    bool IsFlowing() const;

    // The device asks for up to maxBytes of sound; answers how many it got
    // (0 at the end of the sound).
    int64_t Produce(char* out, int64_t maxBytes);

private:
    struct Chunk {
        int64_t firstFrame = 0;   // position in the stream given to the device, in frames
        int64_t frames = 0;
        int64_t movieStart = 0;   // movie time of the chunk's first frame, timeScale units
    };
    class Source;

    bool OpenReader();
    int64_t SkipExcluded(int64_t movieTime) const;
    ExactTime MovieTime(int64_t units) const { return ExactTime(units, mTimeScale); }
    // Decodes the next chunk into mPending; false at the end of the sound.
    bool DecodeChunk();

    std::string mPath;
    std::unique_ptr<SoundReader> mReader;
    bool mReaderFailed = false;
    QAudioSink* mSink = nullptr;
    std::unique_ptr<Source> mSource;
    int mChannels = 0;       // channels sent to the device
    bool mFloatSamples = true;
    int32_t mTimeScale = 600;
    int64_t mFeedTime = 0;   // next movie time to decode
    int64_t mFramesSent = 0;
    ExcludedSpans mExcluded{nullptr};
    std::deque<Chunk> mChunks;
    DecodedSound mDecoded;
    std::vector<char> mPending;  // decoded sound the device has not taken yet
    size_t mPendingOffset = 0;
    int64_t mLastHeard = -1;     // microseconds the device reported last
    std::chrono::steady_clock::time_point mLastAdvance{};
};
