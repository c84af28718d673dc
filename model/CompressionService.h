// What runs the compression job for a document, together with its progress
// (a window, the terminal, nothing). Whoever asks for a run hands one to the
// model's Compress, so that the model needs nothing of the job.
#pragma once

#include <string>

#include "framework/LException.h"
#include "model/SCompressSettings.h"
#include "platform/media/FSSpec.h"

class CompressionService {
public:
    virtual ~CompressionService() = default;
    // 0 when the destination was written or the user cancelled (then no
    // destination exists); otherwise an error code, with a sentence for the
    // user in *message.
    virtual OSErr CompressMovieFile(const FSSpec& source, const FSSpec& destination,
                                    const SCompressSettings& settings, std::string* message) = 0;
};
