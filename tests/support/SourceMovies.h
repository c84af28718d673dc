// Fixture movies for the media-layer tests, made with ffmpeg's lavfi
// sources, and reference decodes made with the ffmpeg tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/media/OffscreenWorld.h"

namespace fixtures {

// 160x120, 10 fps, 3 s, H.264 with B-frames: black with a red 40x30 block
// in the top-left corner and a green one in the top-right corner.
std::filesystem::path MarkerMovie();
// The same pictures stored as RGB (PNG), for the frame path that stays in RGB.
std::filesystem::path RgbMarkerMovie();
// The same pictures with a display matrix that turns them a quarter.
std::filesystem::path RotatedMarkerMovie();
// 160x120 stored, pixels twice as wide as tall.
std::filesystem::path WidePixelMovie();
// 64x48, 10 fps, 3 s, grey level grows with the frame number (see FrameNumberShown).
std::filesystem::path CountingMovie(bool faststart = false);
// The counting movie cut at 1.05 s by stream copy: an edit list that starts
// after a key frame, with frames only there to be decoded.
std::filesystem::path TrimmedCountingMovie();
// Variable frame rate (frames kept in a 2-of-5 pattern), with B-frames.
std::filesystem::path VariableRateMovie();
// testsrc2 160x120 10 fps 2 s with a 440 Hz tone, AAC, in .mp4.
std::filesystem::path MovieWithSound();
// The same pictures without the sound.
std::filesystem::path MovieWithoutSound();
// 48 kHz stereo 16-bit PCM tone, 2.5 s, sound only (.mov).
std::filesystem::path SoundOnlyPcm();
// 44.1 kHz mono AAC tone, 3 s, sound only (.m4a-style .mp4).
std::filesystem::path SoundOnlyAac();
// The counting movie in Matroska (no mvhd time scale, packet scan).
std::filesystem::path CountingMatroska();

// 96x64, 25 fps, 12 s, H.264 with B-frames and a key frame every 250
// frames, as encoders make them by default.
std::filesystem::path LongGopMovie();
// Variable frame rate with B-frames in time scale 1000 (.mp4), as phones
// and screen recorders make them.
std::filesystem::path VariableRateBFrameMovie();

// All sound decoded by ffmpeg as interleaved 32-bit floats.
std::vector<float> ReferenceSound(const std::filesystem::path& movie);

// Per-frame checksums of every decoded stream (ffmpeg -f framemd5).
std::string DecodedChecksums(const std::filesystem::path& movie);

// The frame of `movie` (display rotation applied) that an RGB24 world
// should show, compared: the mean difference per channel (255 when the
// sizes differ).
double DifferenceFromFrame(const OffscreenWorld& world, const std::filesystem::path& movie, int index);

// The grey level at the middle of a world, as a frame number of the counting movie.
int FrameNumberShown(const OffscreenWorld& world);

}  // namespace fixtures
