// Putting copied tracks, chapters and details into a muxer's context; one
// way for the movie writer and the whole-movie copy alike. Internal to the
// media layer (it includes FFmpeg headers).
#pragma once

#include "platform/media/AVHandles.h"
#include "platform/media/CopiedTracks.h"

// Marks a new stream as the track: default or alternative, its tags, its
// display matrix. The stream's codec parameters are the caller's.
void DescribeCopiedStream(AVStream* stream, const CopiedTrack& track);

// The movie's tags and chapters. Throws std::bad_alloc.
void AddMovieDetails(AVFormatContext* format, const MovieDetails& details);
