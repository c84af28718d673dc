#include "compress/CompressMovieFile.h"

#include "compress/CMovieCompressor.h"
#include "compress/StopSignals.h"

OSErr CompressMovieFile(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                        CompressionProgress& progress, std::string* message) {
    // Declared first, so that a signal that stopped the run takes effect
    // only after the job has removed its temporary file.
    StopSignals::Guard stopSignals;
    CMovieCompressor job(source, destination, progress);
    job.SetCrop(settings.crop);
    job.SetOutputSize(settings.outputWidth, settings.outputHeight);
    job.SetFlipsAndRotation(settings.flipHorizontal, settings.flipVertical, settings.rotation);
    job.SetWatermarkFile(settings.watermarkFile);
    job.SetWatermarkPlacement(settings.watermarkPlacement);
    job.SetFilters(settings.filters);
    job.SetVideoSegments(settings.videoSegments);
    job.SetAudioSegments(settings.audioSegments);
    job.SetExcludedRanges(settings.excludedRanges);
    const OSErr result = job.Run();
    if (message) *message = job.Message();
    return result;
}
