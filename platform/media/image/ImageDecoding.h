// Decoding still pictures into RGBA worlds and scaling them, on FFmpeg.
#pragma once

#include <cstdint>
#include <string>

#include "platform/media/OffscreenWorld.h"

// Largest picture decoded, per side and in all.
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t(64) * 1024 * 1024;
// Largest image file read at all.
constexpr int64_t kMaxImageFileBytes = int64_t(512) * 1024 * 1024;

// Decodes the first picture of an image file into an RGBA world (straight
// alpha; opaque for formats without alpha). Pictures wider or taller than
// kMaxImageSide or larger than kMaxImagePixels, and files that are not
// pictures, are refused with a reason in `error` before pixel memory is
// allocated for them.
bool DecodeImageFile(const std::string& path, OffscreenWorld& rgba, std::string& error);

// Scales an RGBA world to width x height into `scaled` (RGBA).
bool ScaleImage(const OffscreenWorld& rgba, int width, int height, OffscreenWorld& scaled);
