// Converts a movie's sound for the output on a thread of its own, span by
// span, into a bounded queue, while the pictures are being compressed; the
// sound pass then only writes what is ready. It owns the source's sound
// reader and the encoder; both belong to that thread from Start() until
// Stop().
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "compress/ConvertMovieSound.h"
#include "compress/SoundPacketQueue.h"
#include "platform/media/StreamParameters.h"

class SoundEncoder;
struct SoundSettings;

class AheadSoundConverter {
public:
    struct Span {
        STimeValue start, end;
    };

    // Opens the source's sound and an encoder for `settings`. Throws the
    // LExceptions of either.
    AheadSoundConverter(const std::string& sourcePath, const SoundSettings& settings, size_t budgetBytes);
    ~AheadSoundConverter();
    AheadSoundConverter(const AheadSoundConverter&) = delete;
    AheadSoundConverter& operator=(const AheadSoundConverter&) = delete;

    // What the output track is made of, known before the thread starts.
    OSType CompressionType() const { return mType; }
    const StreamParameters& Parameters() const { return mParameters; }

    void Start(std::vector<Span> spans);
    SoundPacketQueue& Queue() { return mQueue; }
    // Closes the queue (the thread stops at its next packet) and waits for it.
    void Stop();
    // Where the readable sound ended, when it ended early; stops first.
    bool ReadableEnd(RationalTime& end);
    // Where the sound could not all be decoded cleanly; stops first.
    bool DamagedSpan(RationalTime& from, RationalTime& to);

private:
    void Run();
    static bool NoteProgress(const STimeValue& converted, int64_t bytes, void* context);

    std::unique_ptr<SoundReader> mReader;
    std::unique_ptr<SoundEncoder> mEncoder;
    OSType mType = 0;
    StreamParameters mParameters;
    std::vector<Span> mSpans;
    SoundPacketQueue mQueue;
    SoundConversionBuffers mBuffers;
    std::thread mThread;
};
