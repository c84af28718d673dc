#include "app/PresetLibrary.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files/ApplicationFolder.h"
#include "app/SettingsRecordText.h"
#include "catalogs/CatalogSetup.h"
#include "catalogs/PresetFolders.h"
#include "platform/media/AtomContainer.h"

namespace fs = std::filesystem;

namespace {

constexpr uintmax_t kLargestPreset = 16 * 1024 * 1024;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool HasKind(const Handle& preset, OSType kind) {
    AtomContainer container;
    return AtomContainer::TryParse(preset, container) && container.Find(kind) != nullptr;
}

// Files of the preset folders, sorted, sub-folders included.
std::vector<fs::path> PresetFiles() {
    std::vector<fs::path> files;
    std::vector<std::string> folders{PresetFolders::CodecFolderName()};
    if (PresetFolders::FilterFolderName() != folders.front()) folders.push_back(PresetFolders::FilterFolderName());
    for (const std::string& folder : folders) {
        std::error_code ec;
        for (fs::recursive_directory_iterator it(PresetFolders::FolderPath(folder), ec), end; !ec && it != end;
             it.increment(ec))
            if (it->is_regular_file(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

namespace PresetLibrary {

void PrepareApplicationFolder() {
    PresetFolders::SetApplicationFolder(ApplicationFolder());
    InstallDefaultPresets(ShippedDataFolder());
}

bool ReadSmallFile(const std::string& path, Handle& out) {
    std::error_code ec;
    // A pipe would block and a folder is no preset.
    if (!fs::is_regular_file(path, ec) || fs::file_size(path, ec) > kLargestPreset || ec) return false;
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) return false;
    out = Handle(std::move(bytes));
    return true;
}

bool Find(const std::string& nameOrPath, OSType settingsKind, Handle& out, std::string& error) {
    const std::string what = settingsKind == FourCC("vide") ? "video" : "sound";
    std::error_code ec;
    if (fs::exists(nameOrPath, ec)) {
        if (!ReadSmallFile(nameOrPath, out)) error = "cannot read the " + what + " preset " + nameOrPath;
        else if (!HasKind(out, settingsKind)) error = nameOrPath + " is not a " + what + " settings preset";
        return error.empty();
    }
    const std::string wanted = Lower(nameOrPath);
    for (const fs::path& file : PresetFiles()) {
        if (Lower(file.stem().string()) != wanted) continue;
        Handle preset;
        if (ReadSmallFile(file.string(), preset) && HasKind(preset, settingsKind)) {
            out = std::move(preset);
            return true;
        }
    }
    error = "there is no " + what + " preset named \"" + nameOrPath + "\" in " +
            PresetFolders::FolderPath(PresetFolders::CodecFolderName()) + " (movelark presets lists them)";
    return false;
}

std::vector<Entry> List() {
    std::vector<Entry> entries;
    for (const fs::path& file : PresetFiles()) {
        Handle preset;
        if (!ReadSmallFile(file.string(), preset)) continue;
        const std::string summary = SummarisePreset(preset);
        if (summary.empty()) continue;
        const char* kind = HasKind(preset, FourCC("vide")) ? "Video" : HasKind(preset, FourCC("soun")) ? "Sound" : "Effects";
        entries.push_back({kind, file.stem().string(), file.string(), summary});
    }
    auto rank = [](const Entry& e) { return e.kind == "Video" ? 0 : e.kind == "Sound" ? 1 : 2; };
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        return rank(a) != rank(b) ? rank(a) < rank(b) : Lower(a.name) < Lower(b.name);
    });
    return entries;
}

}  // namespace PresetLibrary
