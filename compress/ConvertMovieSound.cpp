#include "compress/ConvertMovieSound.h"

#include "platform/media/SoundPacketSink.h"
#include "platform/media/encode/SoundEncoder.h"

OSErr ConvertMovieSound(SoundReader& source, const STimeValue& start, const STimeValue& end,
                        SoundEncoder& encoder, SoundPacketSink& writer, SoundConversionBuffers& buffers,
                        SoundProgressProc progress, void* context) {
    // One unit of time is one output sample.
    const int32_t scale = encoder.OutputSampleRate();
    if (scale <= 0) return paramErr;
    int64_t first = start.ValueIn(scale);
    const int64_t last = end.ValueIn(scale);
    OSErr result = noErr;
    bool final = false;
    while (!final) {
        int64_t block = scale;
        if (first + block >= last) {
            block = last - first;
            final = true;
        }
        if (block <= 0) break;
        DecodedSound& sound = buffers.sound;
        if (source.Read(first, first + block, scale, sound) != noErr) {
            first += block;  // an unreadable second is skipped
            continue;
        }
        int64_t covered = block;
        if (sound.frames > 0) {
            covered = sound.SpanIn(scale);
            if (covered <= 0) covered = block;
            // Never convert more than the span asked for.
            if (final && covered > block) {
                sound.frames -= (int64_t(sound.sampleRate) * (covered - block)) / scale;
                if (sound.frames < 0) sound.frames = 0;
                covered = block;
            }
        }
        int64_t bytes = 0;
        buffers.packets.clear();
        try {
            if (sound.frames > 0) bytes = encoder.Convert(sound.samples.data(), int(sound.frames), buffers.packets);
            for (const EncodedPacket& p : buffers.packets) writer.WriteSoundPacket(p);
        } catch (const LException& e) {
            return OSErr(e.Code());
        }
        if (progress && progress(STimeValue{int32_t(covered), scale}, bytes, context)) {
            result = kSoundCancelledErr;
            final = true;
        }
        first += covered;
    }
    return result;
}
