// Where the preset folders live and what kind of preset a file is. The
// folders sit in the application's own folder; start-up tells this unit
// which one that is (the folder of the running program until then).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "framework/FourCharCode.h"

constexpr OSType kVideoPresetType = FourCC("QTcd");
constexpr OSType kAudioPresetType = FourCC("QTac");
constexpr OSType kEffectPresetType = FourCC("QTfx");
constexpr OSType kPresetCreator = FourCC("Vrx6");

namespace PresetFolders {

// Empty goes back to the folder of the running program.
void SetApplicationFolder(const std::string& folder);
std::string ApplicationFolderPath();
// The application folder plus a folder name ("Presets").
std::string FolderPath(const std::string& folderName);

// The folder of the codec presets and the transitions (list 1002 item 2)
// and of the single-source effects (item 3), as start-up loaded them.
std::string CodecFolderName();
std::string FilterFolderName();
// The folder of the pictures for the thumbnails view (item 4).
std::string ThumbnailFolderName();

// Turns a file name extension into a file type. The application installs
// its extension table; until then the three preset kinds are known
// (compared ignoring case) and anything else is 0.
using FileTypeResolver = std::function<OSType(std::string_view extension)>;
void SetFileTypeResolver(FileTypeResolver resolver);
OSType FileTypeForExtension(std::string_view extension);
// The extension a preset file of that type is saved with ("QTcd").
std::string ExtensionForType(OSType type);

}  // namespace PresetFolders
