// One compression run: the source movie becomes the destination movie with
// the settings given. Synchronous; reports to `progress`.
#pragma once

#include <string>

#include "compress/CompressionProgress.h"
#include "compress/SCompressSettings.h"
#include "framework/LException.h"

// 0 when the destination was written or the user cancelled (then no
// destination exists); otherwise an error code, with a sentence for the
// user in *message when given.
OSErr CompressMovieFile(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                        CompressionProgress& progress, std::string* message = nullptr);
