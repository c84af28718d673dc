#include "compress/CompressMovieFile.h"

#include "compress/CMovieCompressor.h"
#include "compress/StopSignals.h"

OSErr CompressMovieFile(const FSSpec& source, const FSSpec& destination, const SCompressSettings& settings,
                        CompressionProgress& progress, std::string* message) {
    // Declared first, so that a signal that stopped the run takes effect
    // only after the job has removed its temporary file.
    StopSignals::Guard stopSignals;
    CMovieCompressor job(source, destination, settings, progress);
    const OSErr result = job.Run();
    if (message) *message = job.Message();
    return result;
}
