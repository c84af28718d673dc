// Converts one span of a source movie's sound into packets of the output's
// sound track, one second of source sound at a time. The encoder (with its
// resampler) is the caller's and lives across spans, so compressed formats
// are never restarted at an excluded range.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/LException.h"
#include "model/TimeValue.h"
#include "platform/media/EncodedPacket.h"
#include "platform/media/source/SoundReader.h"

class SoundEncoder;
class SoundPacketSink;

// After every block: the source time the block covered and the bytes it
// produced; returning true cancels (the block has been written).
using SoundProgressProc = bool (*)(const STimeValue& converted, int64_t bytes, void* context);

constexpr OSErr kSoundCancelledErr = userCanceledErr;  // -128

struct SoundConversionBuffers {
    DecodedSound sound;
    std::vector<EncodedPacket> packets;
};

// Returns noErr, kSoundCancelledErr when the callback cancelled, or the
// error of a block that could not be encoded or written (the span stops
// there). A block that cannot be read is skipped: time moves on.
OSErr ConvertMovieSound(SoundReader& source, const STimeValue& start, const STimeValue& end,
                        SoundEncoder& encoder, SoundPacketSink& writer, SoundConversionBuffers& buffers,
                        SoundProgressProc progress, void* context);
