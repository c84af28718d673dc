// What the output cannot hold, refused before anything is written.
#pragma once

#include <string>

#include "framework/LException.h"
#include "model/SCompressSettings.h"

// Segments of different codecs, a codec or sound format that the
// destination's container cannot hold, an output size the user chose that
// the codec cannot take: the error, with a sentence for the user in
// `message`. A size from the source is trimmed to the codec's steps
// instead, and `warning` says so.
OSErr CheckOutputSettings(const SCompressSettings& settings, bool hasVideo, bool hasSound, int frameWidth,
                          int frameHeight, bool forMp4, std::string& message, std::string& warning);

// A frame of this size: memFullErr, with a sentence in `message`, when it
// is larger than any codec takes or larger than the memory left for it.
OSErr CheckFrameSize(int width, int height, std::string& message);
