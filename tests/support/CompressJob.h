// Fixture movies and settings for the tests of the compression job.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "compress/CompressionProgress.h"
#include "model/SCompressSettings.h"
#include "framework/Handle.h"
#include "model/CDescriptionList.h"
#include "model/TimeRange.h"

namespace compressfixtures {

// 320x240, 30 fps, 3 s of testsrc2 with a 440 Hz stereo tone at 44.1 kHz.
std::filesystem::path MovieWithSound();
// The same picture without sound.
std::filesystem::path MovieWithoutSound();

// A video segment for [start, end) seconds (scale 600).
std::unique_ptr<Handle> VideoSegment(uint32_t codec, int32_t quality, double startSeconds, double endSeconds,
                                     uint32_t frameRate1616 = 0);
std::unique_ptr<Handle> AacSegment(int bitRate = 128000);

// Settings whose lists the test owns.
struct Job {
    SCompressSettings settings;
    CDescriptionList video;
    CDescriptionList audio;
    CDescriptionList filters;
    TArray<TimeRange*> excluded;
    std::vector<std::unique_ptr<TimeRange>> ranges;

    Job();
    void Exclude(double startSeconds, double endSeconds);
};

// Runs the job, reporting to `progress` (to nothing without one).
OSErr Compress(const std::filesystem::path& source, const std::filesystem::path& dest, Job& job,
               std::string* message = nullptr, CompressionProgress* progress = nullptr);

// A movie's decoded pictures in display order: each frame's time in seconds
// and its grey levels.
struct DecodedFrames {
    std::vector<double> times;
    std::vector<std::vector<uint8_t>> grey;
};
DecodedFrames DecodeFrames(const std::filesystem::path& movie);
double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace compressfixtures
