// Opening a movie file with libavformat and describing it. Internal to the
// source layer (it includes FFmpeg headers): the movie, the frame renderer,
// the sound reader and the packet reader all open files through it, so they
// agree on tracks, time origin and geometry.
#pragma once

#include <climits>
#include <cstdint>
#include <string>

#include "platform/media/AVHandles.h"
#include "platform/media/source/MovieLayout.h"

namespace movie_probe {

// Opens and probes the file. Throws LException with a message for the user
// (fnfErr, ioErr, kNoMovieFoundErr, kInvalidMovieErr).
media::av::FormatInput OpenInput(const std::string& path);

// Tracks, time scale, duration, origin and box of an opened file.
MovieLayout Describe(AVFormatContext* format, const std::string& path);

// Opens the file and describes it in one go.
media::av::FormatInput OpenAndDescribe(const std::string& path, MovieLayout& layout);

// The movie's time origin in a stream's time base.
int64_t OriginIn(const MovieLayout& layout, AVRational timeBase);

// A source time (in `timeBase`) as movie time, rounded up, so that a
// frame's time in the movie never comes before the frame itself.
int64_t ToMovieTimeCeil(const MovieLayout& layout, int64_t sourceTime, AVRational timeBase);
// A movie time in `timeBase`, relative to the stream's zero (origin added).
int64_t FromMovieTime(const MovieLayout& layout, int64_t movieTime, AVRational timeBase);

// How far a reader has got into a file: the end of the latest packet of any
// track it has read, in AV_TIME_BASE units.
class FileReach {
public:
    void Note(const AVFormatContext* format, const AVPacket* packet);
    int64_t End() const { return mEnd; }

private:
    int64_t mEnd = INT64_MIN;
};

// Where a decoder met data it could not decode cleanly (damage in the middle
// of a file): the first and last such time, in the stream's time base.
class DecodeDamage {
public:
    // The result of sending a packet or receiving a frame at `time`.
    void NoteResult(int result, int64_t time);
    // A decoded frame the decoder had to patch up.
    void NoteFrame(const AVFrame* frame);
    // The span as movie time of `layout`'s movie; false when nothing was seen.
    bool Span(const MovieLayout& layout, AVRational timeBase, RationalTime& from, RationalTime& to) const;

private:
    void Note(int64_t time);
    int64_t mFrom = INT64_MAX, mTo = INT64_MIN;
};

// Which tracks a reader of track `wanted` demuxes: its own, and where the
// header gives only the whole movie's length, the other picture and sound
// tracks too, so that the reader can tell a cut-off file (TrackEnd).
void ChooseDemuxedTracks(AVFormatContext* format, int wanted);

// Where a track should end by the file's header, in the stream's time base
// (AV_NOPTS_VALUE when the header does not say so for that track); reading
// that stops well before it means the file is damaged or incomplete. `reach`
// is how far the reader got, for files whose header gives only the whole
// movie's length.
int64_t TrackEnd(const MovieLayout& layout, const AVFormatContext* format, const AVStream* stream,
                 const FileReach& reach);

// A decoder for the stream, with FFmpeg's own threading on. Throws
// LException(kCodecErr) when there is none.
media::av::CodecContext OpenDecoder(const AVStream* stream);

}  // namespace movie_probe
