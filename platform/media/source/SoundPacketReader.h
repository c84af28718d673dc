// The compressed packets of a movie's first audio track, in order, with
// their times, for copying the sound into an output movie unchanged.
// Packet times are in the track's own time base (Parameters().TimeBase())
// and measured from movie time 0, so they can be cut and shifted by the
// caller and handed to the movie writer as they are.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/LException.h"
#include "platform/media/EncodedPacket.h"
#include "platform/media/StreamParameters.h"
#include "platform/media/source/MovieLayout.h"

class SoundPacketReader {
public:
    // Throws LException: the errors of Movie::Open, kTrackNotInMovieErr
    // without sound.
    static std::unique_ptr<SoundPacketReader> Open(const std::string& path);
    ~SoundPacketReader();

    // Codec, format and codec headers of the track, with its time base.
    const StreamParameters& Parameters() const;
    MediaTimeBase TimeBase() const;

    // The next packet into `out` (its buffer is reused); false at the end
    // and where the file cannot be read any further.
    bool Next(EncodedPacket& out);
    // When the packets ran out well before the track's end (data cut off or
    // damaged): where the readable ones end, from movie time 0. Known once
    // Next has said false; false for a whole file.
    bool ReadableEnd(RationalTime& end) const;

    // Starts again from the first packet.
    void Rewind();

private:
    SoundPacketReader();
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
