// Copies every track of a movie into a new movie file without re-encoding
// (the mp4 container when the destination ends in .mp4, QuickTime
// otherwise; movie resource before the data). The file is written under a
// temporary name beside the destination and renamed into place only when
// complete, so a failure never leaves a half-written destination.
#pragma once

#include <string>

#include "framework/LException.h"

// Throws LException: the errors of Movie::Open, ioErr when the destination
// cannot be written (the destination is then untouched).
void RemuxMovie(const std::string& sourcePath, const std::string& destinationPath);

// The extension of a copy that keeps the movie's tracks: "mov" when a
// QuickTime movie can hold them, else "mp4" (VP9, Opus and the like).
std::string CopyExtensionFor(const std::string& sourcePath);
