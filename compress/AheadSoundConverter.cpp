#include "compress/AheadSoundConverter.h"

#include <new>

#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/encode/SoundSettings.h"

AheadSoundConverter::AheadSoundConverter(const std::string& sourcePath, const SoundSettings& settings,
                                         size_t budgetBytes)
    : mReader(SoundReader::Open(sourcePath)), mEncoder(std::make_unique<SoundEncoder>()), mQueue(budgetBytes) {
    PcmFormat input;
    input.sampleRate = mReader->SampleRate();
    input.channels = mReader->Channels();
    input.sampleType = PcmSampleType::Float;
    input.planar = false;
    input.channelMask = mReader->ChannelMask();
    mEncoder->Open(settings, input);
    mType = mEncoder->CompressionType();
    mParameters = mEncoder->Parameters();
}

AheadSoundConverter::~AheadSoundConverter() { Stop(); }

void AheadSoundConverter::Start(std::vector<Span> spans) {
    if (mThread.joinable()) return;
    mSpans = std::move(spans);
    mThread = std::thread([this] { Run(); });
}

void AheadSoundConverter::Stop() {
    mQueue.Close();
    if (mThread.joinable()) mThread.join();
}

bool AheadSoundConverter::ReadableEnd(RationalTime& end) {
    Stop();  // the reader is this thread's again
    return mReader->ReadableEnd(end);
}

bool AheadSoundConverter::DamagedSpan(RationalTime& from, RationalTime& to) {
    Stop();
    return mReader->DamagedSpan(from, to);
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
            result = ConvertMovieSound(*mReader, span.start, span.end, *mEncoder, mQueue, mBuffers,
                                       &AheadSoundConverter::NoteProgress, this);
            if (result != noErr) break;
        }
        if (result == noErr) {
            // The encoder's last frames, held back until its end.
            mBuffers.packets.clear();
            mEncoder->Finish(mBuffers.packets);
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
