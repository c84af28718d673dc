// The tracks of a source movie that go into the output as they are: every
// sound track but the first (whose settings the document sets) and every
// subtitle track, or, for a copy of the whole movie, every track. A text
// subtitle kind the output container cannot hold is rewritten as MPEG-4
// timed text; a track that cannot go in at all is left out with a note.
// Also reads the movie's details and chapters.
//
// Packet times are in each track's own time base, measured from movie
// time 0 (as SoundPacketReader's), so they can be cut and shifted. A
// picture whose decoding time the file does not give (Matroska) has
// kUnknownDecodeTime, for the muxer to work out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/LException.h"
#include "platform/media/CopiedTracks.h"
#include "platform/media/EncodedPacket.h"

inline constexpr int64_t kUnknownDecodeTime = INT64_MIN;

class CopiedTrackReader {
public:
    enum class Selection { OtherThanCompressed, Every };

    // forMp4: the output is an MPEG-4 file, else a QuickTime movie. Throws
    // the LExceptions of Movie::Open.
    static std::unique_ptr<CopiedTrackReader> Open(const std::string& path, bool forMp4, Selection which);
    ~CopiedTrackReader();

    // In the order their packets refer to them (Next's track index).
    const std::vector<CopiedTrack>& Tracks() const;
    const MovieDetails& Details() const;
    // One sentence per track left out, for the user.
    const std::vector<std::string>& LeftOut() const;
    bool IsEmpty() const;  // no tracks, no chapters, no details

    // The next packet of any track, in file order; false at the end.
    // Throws LException(ioErr) when the file cannot be read any further.
    bool Next(int& track, EncodedPacket& out);

private:
    CopiedTrackReader();
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
