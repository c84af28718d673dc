// The output movie: one video track and at most one sound track, and
// further tracks copied from the source, with chapters and details, written
// with the mov muxer (mp4 when the destination ends in .mp4) with the movie
// resource before the data. Packets go straight to the file in the order
// given (all video, then all sound is fine), so memory stays bounded.
//
// Add every track before the first packet. Durations are written exactly as
// the packets carry them. A writer that is neither finished nor aborted
// removes its file when destroyed.
#pragma once

#include <memory>
#include <string>

#include "framework/FourCharCode.h"
#include "platform/media/CopiedTracks.h"
#include "platform/media/EncodedPacket.h"
#include "platform/media/SoundPacketSink.h"
#include "platform/media/StreamParameters.h"

class VideoEncoder;
class SoundEncoder;

class MovieWriter : public SoundPacketSink {
public:
    MovieWriter();
    ~MovieWriter() override;
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    // Whether a destination path names an .mp4 file (case-insensitive).
    static bool IsMp4Path(const std::string& path);

    // Whether copied packets of this sound can go into the container: asked
    // of the muxer itself, which refuses some codecs only when it starts.
    static bool CanHoldCopiedSound(const StreamParameters& parameters, bool isMp4);

    // Opens the file for writing. Throws LException(kWriteMovieErr) when it
    // cannot be created.
    void Create(const std::string& path, bool isMp4);
    // Writes into a file the caller has opened (for reading and writing) and
    // keeps: the writer never opens it by name, so it cannot be led to
    // another file, and Abort leaves removing it to the caller. Messages
    // call the file `shownName`.
    void Create(int descriptor, const std::string& shownName, bool isMp4);

    // Track from the first segment's encoder; later segments' encoders must
    // have the same codec type. Throws kContainerCodecErr when the container
    // cannot hold the codec, kWriteMovieErr after the first packet.
    void AddVideoTrack(const VideoEncoder& encoder);
    void AddSoundTrack(const SoundEncoder& encoder);
    // The same from what the encoder said of itself when it was opened, for
    // an encoder busy on another thread.
    void AddSoundTrack(OSType compressionType, const StreamParameters& parameters);
    // A sound track whose packets are copied from the source unchanged.
    void AddCopiedSoundTrack(const StreamParameters& parameters);

    // A track copied as it is (CopiedTrackReader); the answer numbers it
    // for WriteCopiedPacket.
    int AddCopiedTrack(const CopiedTrack& track);
    // The movie's details and chapters; before the first packet too.
    void SetDetails(const MovieDetails& details);

    bool HasVideoTrack() const;
    bool HasSoundTrack() const;

    // Times in the time base of the encoder (or stream) the track came from.
    // Throws LException(kWriteMovieErr) when the packet cannot be written.
    void WriteVideoPacket(const EncodedPacket& packet);
    void WriteSoundPacket(const EncodedPacket& packet) override;
    void WriteCopiedPacket(int track, const EncodedPacket& packet);

    // Writes the movie resource (moved before the data) and closes the file.
    void Finish();
    // Closes and removes the file. Never throws.
    void Abort();

private:
    void Open(const std::string& url, const std::string& shownName, bool removeOnAbort, bool isMp4);

    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
