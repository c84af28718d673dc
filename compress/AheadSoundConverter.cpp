#include "compress/AheadSoundConverter.h"

#include <new>

#include "platform/media/encode/SoundEncoder.h"

AheadSoundConverter::AheadSoundConverter(SoundReader& reader, SoundEncoder& encoder, std::vector<Span> spans,
                                         size_t budgetBytes)
    : mReader(reader), mEncoder(encoder), mSpans(std::move(spans)), mQueue(budgetBytes) {}

AheadSoundConverter::~AheadSoundConverter() { Stop(); }

void AheadSoundConverter::Start() {
    if (!mThread.joinable()) mThread = std::thread([this] { Run(); });
}

void AheadSoundConverter::Stop() {
    mQueue.Close();
    if (mThread.joinable()) mThread.join();
}

bool AheadSoundConverter::NoteProgress(const STimeValue& converted, int64_t bytes, void* context) {
    static_cast<AheadSoundConverter*>(context)->mQueue.AddProgress(converted, bytes);
    return false;
}

void AheadSoundConverter::Run() {
    OSErr result = noErr;
    std::string message;
    try {
        for (const Span& span : mSpans) {
            result = ConvertMovieSound(mReader, span.start, span.end, mEncoder, mQueue, mBuffers,
                                       &AheadSoundConverter::NoteProgress, this);
            if (result != noErr) break;
        }
        if (result == noErr) {
            // The encoder's last frames, held back until its end.
            mBuffers.packets.clear();
            mEncoder.Finish(mBuffers.packets);
            for (const EncodedPacket& p : mBuffers.packets) mQueue.WriteSoundPacket(p);
        }
    } catch (const LException& e) {
        result = e.Code() ? OSErr(e.Code()) : OSErr(ioErr);
        message = e.what();
    } catch (const std::bad_alloc&) {
        result = memFullErr;
        message = "Out of memory.";
    }
    mQueue.Finish(result, message);
}
