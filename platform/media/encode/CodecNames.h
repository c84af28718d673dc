// Codec names as people type them on a command line: "H.264", "h264",
// "libx264", "x264" and "avc1" all name the same video codec.
#pragma once

#include <string>
#include <string_view>

#include "framework/FourCharCode.h"

// Lower-case letters and digits only: "H.264" -> "h264", "ProRes 422" -> "prores422".
std::string NormalisedCodecName(std::string_view text);

// Whether `typed` names the codec with these traits: its four characters,
// its shown name, its FFmpeg encoder (with or without "lib"), or the name
// FFmpeg gives the codec that encoder makes.
bool CodecNameMatches(std::string_view typed, OSType type, const char* shownName, const char* encoder);
