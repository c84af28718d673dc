// The description of one elementary stream (codec, format, codec headers),
// carried between the source reader and the movie writer without either
// side's users seeing an FFmpeg header. Copies are deep.
#pragma once

#include <memory>
#include <string>

#include "platform/media/EncodedPacket.h"

struct AVCodecContext;
struct AVCodecParameters;

class StreamParameters {
public:
    StreamParameters();
    ~StreamParameters();
    StreamParameters(const StreamParameters& other);
    StreamParameters& operator=(const StreamParameters& other);
    StreamParameters(StreamParameters&& other) noexcept;
    StreamParameters& operator=(StreamParameters&& other) noexcept;

    // Copies the parameters (null gives an empty object); the time base is
    // the one the stream's packet times are counted in.
    static StreamParameters FromCodecParameters(const AVCodecParameters* parameters, MediaTimeBase timeBase);
    // What an opened encoder will write (codec, format, headers).
    static StreamParameters FromCodecContext(const AVCodecContext* context, MediaTimeBase timeBase);

    bool IsEmpty() const;
    bool IsAudio() const;
    bool IsVideo() const;
    std::string CodecName() const;  // "aac", "h264", ... ("" when empty)
    MediaTimeBase TimeBase() const;

    // Null when empty. For code inside platform/media only.
    const AVCodecParameters* CodecParameters() const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
