// One compression run: the source movie becomes the destination movie with
// the settings given. Synchronous; reports to `progress`.
#pragma once

#include <string>

#include "compress/CompressionProgress.h"
#include "framework/LException.h"
#include "model/CompressionService.h"
#include "model/SCompressSettings.h"

// 0 when the destination was written or the user cancelled (then no
// destination exists); otherwise an error code, with a sentence for the
// user in *message when given.
OSErr CompressMovieFile(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                        CompressionProgress& progress, std::string* message = nullptr);

// The job as a document's compression service, reporting to `progress`.
class CompressionJob : public CompressionService {
public:
    explicit CompressionJob(CompressionProgress& progress) : mProgress(progress) {}
    OSErr CompressMovieFile(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                            std::string* message) override {
        return ::CompressMovieFile(source, destination, settings, mProgress, message);
    }

private:
    CompressionProgress& mProgress;
};
