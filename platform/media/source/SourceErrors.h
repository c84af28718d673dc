// Result codes of the source-movie layer, in the toolbox's numbering.
#pragma once

#include "framework/LException.h"
#include "platform/media/MediaErrors.h"

constexpr OSErr kInvalidMovieErr = -2010;     // a movie file whose movie cannot be read
constexpr OSErr kTrackNotInMovieErr = -2014;  // no track of the kind asked for
constexpr OSErr kNoMovieFoundErr = -2048;     // not a movie file at all (or empty)
// kCodecErr (-8960) comes from platform/media/MediaErrors.h.
