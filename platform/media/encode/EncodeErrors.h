// Result codes thrown (as LException codes) by the encoders and the writer.
#pragma once

#include "framework/LException.h"
#include "platform/media/MediaErrors.h"

// kCodecErr (-8960) comes from platform/media/MediaErrors.h.
constexpr OSErr kNoCodecErr = -8961;           // no encoder for the type in this build
constexpr OSErr kBadFrameSizeErr = -8962;      // frame size the codec cannot take
constexpr OSErr kMixedCodecsErr = -8963;       // segments of one track with different codec types
constexpr OSErr kContainerCodecErr = -8964;    // the destination's container cannot hold the codec
constexpr OSErr kNoSoundExporterErr = -223;    // no sound encoder for the settings
constexpr OSErr kWriteMovieErr = -2015;        // the output movie could not be written
