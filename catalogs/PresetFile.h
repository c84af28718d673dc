// Preset files: the data fork holds the bytes of one atom container and
// nothing else. Writing goes through a temporary file beside the preset,
// so a failed write never leaves a half-written preset behind.
#pragma once

#include <cstddef>
#include <string>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "platform/media/FSSpec.h"

// Presets are a few hundred bytes; anything far larger is not one.
constexpr size_t kMaxPresetFileSize = 1024 * 1024;

// The whole file into a new handle; false when it cannot be read or is
// larger than kMaxPresetFileSize.
bool ReadPresetFile(const FSSpec& file, Handle& out);
bool ReadPresetFile(const std::string& path, Handle& out);

// Creates or replaces the file with the handle's bytes; false on failure
// (the old file, if any, is then left as it was).
bool WritePresetFile(const FSSpec& file, const Handle& data);

// Markers of containers that are not settings at all and must not be
// edited or dropped: a top-level 'NONE' or 'DELT'.
constexpr OSType kNotSettingsMarker = FourCC("NONE");
constexpr OSType kDeletedSettingsMarker = FourCC("DELT");
bool CarriesMarker(const Handle& description, bool noneOnly = false);
