// Converts a movie's sound for the output on a thread of its own, span by
// span, into a bounded queue, while the pictures are being compressed; the
// sound pass then only writes what is ready. The reader and the encoder
// belong to that thread from Start() until Stop().
#pragma once

#include <thread>
#include <vector>

#include "compress/ConvertMovieSound.h"
#include "compress/SoundPacketQueue.h"

class SoundEncoder;

class AheadSoundConverter {
public:
    struct Span {
        STimeValue start, end;
    };

    AheadSoundConverter(SoundReader& reader, SoundEncoder& encoder, std::vector<Span> spans, size_t budgetBytes);
    ~AheadSoundConverter();
    AheadSoundConverter(const AheadSoundConverter&) = delete;
    AheadSoundConverter& operator=(const AheadSoundConverter&) = delete;

    void Start();
    SoundPacketQueue& Queue() { return mQueue; }
    // Closes the queue (the thread stops at its next packet) and waits for it.
    void Stop();

private:
    void Run();
    static bool NoteProgress(const STimeValue& converted, int64_t bytes, void* context);

    SoundReader& mReader;
    SoundEncoder& mEncoder;
    std::vector<Span> mSpans;
    SoundPacketQueue mQueue;
    SoundConversionBuffers mBuffers;
    std::thread mThread;
};
