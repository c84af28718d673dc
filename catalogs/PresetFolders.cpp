#include "catalogs/PresetFolders.h"

#include <filesystem>

#include "resources/SharedStrings.h"
#include "resources/StringLists.h"

namespace fs = std::filesystem;

namespace {

constexpr int16_t kFolderNameList = 1002;

std::string& ApplicationFolderSetting() {
    static std::string folder;
    return folder;
}

PresetFolders::FileTypeResolver& Resolver() {
    static PresetFolders::FileTypeResolver resolver;
    return resolver;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

namespace PresetFolders {

void SetApplicationFolder(const std::string& folder) { ApplicationFolderSetting() = folder; }

std::string ApplicationFolderPath() {
    if (!ApplicationFolderSetting().empty()) return ApplicationFolderSetting();
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec || !program.has_parent_path()) return fs::current_path(ec).string();
    return program.parent_path().string();
}

std::string FolderPath(const std::string& folderName) {
    return (fs::path(ApplicationFolderPath()) / folderName).string();
}

// Start-up loads the shared strings once; tools and tests that never ran
// start-up still get the names from the string list.
std::string CodecFolderName() {
    const std::string& loaded = TheSharedStrings().videoCodecFolder;
    return loaded.empty() ? GetIndString(kFolderNameList, 2) : loaded;
}

std::string FilterFolderName() {
    const std::string& loaded = TheSharedStrings().listBaseFilterFolder;
    return loaded.empty() ? GetIndString(kFolderNameList, 3) : loaded;
}

std::string ThumbnailFolderName() { return GetIndString(kFolderNameList, 4); }

void SetFileTypeResolver(FileTypeResolver resolver) { Resolver() = std::move(resolver); }

OSType FileTypeForExtension(std::string_view extension) {
    if (Resolver()) return Resolver()(extension);
    for (OSType type : {kVideoPresetType, kAudioPresetType, kEffectPresetType})
        if (SameIgnoringCase(extension, FourCCToString(type))) return type;
    return 0;
}

std::string ExtensionForType(OSType type) { return FourCCToString(type); }

}  // namespace PresetFolders
