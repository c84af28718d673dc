// The droplet program file: the launcher image with "MOVEPRESS" in its
// product-word slot, then one settings record, then the record's length as
// 32 bits little-endian. The record is found from the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/Handle.h"
#include "platform/media/FSSpec.h"


inline constexpr size_t kLauncherImageSize = 36864;
inline constexpr size_t kProductWordOffset = 29328;  // 0x7290
inline constexpr size_t kProductWordSize = 9;
inline constexpr char kProductWord[] = "MOVEPRESS";
inline constexpr int16_t kLauncherImageId = 151;
inline constexpr int16_t kSpareLauncherImageId = 152;  // carried, never written
// Settings records are small; a trailer that claims more is not ours.
inline constexpr uint32_t kMaxDropletSettingsSize = 64u * 1024 * 1024;

// The bytes of resource "DROPLETAPP" number id; none when it is missing
// or not a whole launcher image.
std::optional<std::vector<uint8_t>> LoadLauncherImage(int16_t id = kLauncherImageId);

// Writes a droplet carrying this settings record at path (replacing what
// is there) and marks it executable. Fails silently: false when the image
// is missing, the record is null or empty, or the file could not be
// written; an existing file at path is then left as it was.
bool WriteDropletFile(const std::string& path, const Handle& settings,
                      const std::vector<uint8_t>& launcherImage);
bool WriteDropletFile(const std::string& path, const Handle& settings);

// The document command: a droplet with a document's settings record at the
// chosen file (the save dialog is the document window's).
bool WriteDroplet(const Handle& settings, const FSSpec& destination);

// The settings record carried by a droplet: the last 4 bytes give N, the N
// bytes before them are the record. Null when the file cannot be read, or
// N is 0 (a bare launcher image) or does not fit the file.
Handle ReadDropletSettings(const std::string& path);

// The settings record of a droplet or of a bare settings record file (as
// WriteSettings makes it). False with a one-line reason otherwise.
bool ReadSettingsBlockFromFile(const std::string& path, Handle& out, std::string& why);
