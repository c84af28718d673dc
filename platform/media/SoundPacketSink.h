// Where encoded sound goes: the movie writer, or a queue that hands it to
// the thread writing the movie.
#pragma once

#include "platform/media/EncodedPacket.h"

class SoundPacketSink {
public:
    virtual ~SoundPacketSink() = default;
    // Throws LException when the packet cannot be taken.
    virtual void WriteSoundPacket(const EncodedPacket& packet) = 0;
};
