// Draws a movie's frames at increasing times into one reused offscreen
// world through a matrix. Decoding runs forward from the nearest key frame
// and stays sequential while the time moves forward; it seeks only when the
// time goes back or jumps far ahead. The frame shown at time t is the last
// frame, in presentation order, whose time stamp is <= t (a stamp counts
// from half a unit of its time base before it, at most a millisecond, so
// that stamps rounded by the tool that wrote the file still land on t).
//
// The matrix maps the movie's box (Movie::Box(): display size, upright)
// onto the output picture. Scaling and cropping are done by one scaler
// call from the decoded pixel format; quarter turns and flips are a pixel
// copy. Output outside the mapped picture is black.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "framework/LException.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/source/MovieLayout.h"
#include "platform/media/source/MovieMatrix.h"

class Movie;
struct AVFrame;

class MovieFrameRenderer {
public:
    // Opens its own reader of the movie's file. Throws LException
    // (kTrackNotInMovieErr without video, kCodecErr without a decoder).
    explicit MovieFrameRenderer(const Movie& movie);
    explicit MovieFrameRenderer(const MovieLayout& layout);
    ~MovieFrameRenderer();

    MovieFrameRenderer(const MovieFrameRenderer&) = delete;
    MovieFrameRenderer& operator=(const MovieFrameRenderer&) = delete;

    // Identity and the box size until set. Output sizes below 1 become 1.
    void SetMatrix(const MovieMatrix& boxToOutput, int outWidth, int outHeight);
    int OutputWidth() const;
    int OutputHeight() const;

    // Draws the frame shown at `movieTime` (movie time scale) into `world`,
    // which is (re)allocated to the output size when its size differs; its
    // pixel format (RGB24, RGBA32 with alpha 255, or planar YUV of 8 or 10
    // bits) and colour are kept. Returns noErr, or
    // kCodecErr when no frame could be decoded (the world is then black).
    OSErr DrawFrameAt(int64_t movieTime, OffscreenWorld& world);
    // The same at an exact time (seconds = value * num / den from movie
    // time 0), for callers whose times are not in the movie's scale.
    OSErr DrawFrameAt(const RationalTime& time, OffscreenWorld& world);

    // When the frame drawn last is followed by another: that frame's
    // presentation time, exactly, from movie time 0.
    bool NextFrameTime(RationalTime& time) const;
    // When the file's pictures ran out well before the track's end (data
    // cut off or damaged): the end of the last frame that could be read.
    // Known once drawing has reached that point; false for a whole file.
    bool ReadableEnd(RationalTime& end) const;
    // Whether the pictures' time stamps start over part-way through the
    // file (recordings joined end to end), so that what follows cannot be
    // placed in the movie's time; `after`: the time they had reached. For
    // the end of a run: the rest of the file is read, and the renderer
    // draws nothing more.
    bool TimesStartOverLater(RationalTime& after);
    // The span of movie time in which pictures could not all be decoded
    // cleanly (damage inside the file); false when there was none.
    bool DamagedSpan(RationalTime& from, RationalTime& to) const;

    // What the source's numbers mean (untagged values filled in, as players
    // read them), and whether HDR pictures are tone-mapped to SDR BT.709
    // before they are drawn. Until set: the movie's own tags by the usual
    // conventions, no tone mapping. RGB worlds are drawn full range; planar
    // worlds in their own colour (ColourDescription), converted when it
    // differs from the source's.
    void SetColour(const ColourDescription& source, bool toneMapToSdr);

    // ---- For a cache of decoded pictures ----
    // Told of every picture the decoder delivers, in presentation order,
    // with its stamp (stream time base); `run` counts the seeks, so the
    // pictures of one run follow each other with none between them. A null
    // picture: the movie ends after the run's last one. The observer may
    // throw to abandon the decoding; the renderer stays usable.
    using FrameObserver = std::function<void(const AVFrame* frame, int64_t stamp, int run)>;
    void SetFrameObserver(FrameObserver observer);
    // The frame shown at movieTime is the last one stamped at or before this.
    int64_t StampAt(int64_t movieTime) const;
    // Decodes up to the frame shown at movieTime without drawing it.
    bool DecodeFrameAt(int64_t movieTime);
    // Draws a picture of this movie, decoded here or by another renderer
    // of it, as DrawFrameAt draws its own.
    OSErr DrawDecodedFrame(const AVFrame* frame, OffscreenWorld& world);

    // Whether interlaced pictures came by: they are drawn as whole frames,
    // each made from its two fields.
    bool MetInterlacedPictures() const;

    // Presentation time (movie scale) of the frame drawn last, -1 before.
    int64_t LastFrameTime() const;
    // How many times decoding started again from a key frame (for tests).
    int SeekCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
