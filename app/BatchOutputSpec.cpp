#include "app/BatchOutputSpec.h"

#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string DropletNameOfPath(const std::string& dropletPath) {
    size_t slash = dropletPath.rfind('/');
    std::string leaf = slash == std::string::npos ? dropletPath : dropletPath.substr(slash + 1);
    size_t dot = leaf.rfind('.');
    if (dot != std::string::npos) leaf.erase(dot);
    return leaf;
}

std::string BatchOutputFolderName(const std::string& dropletName) {
    std::string name = dropletName;
    if (name.size() > kMaxDropletNameLength) {
        size_t cut = kCutDropletNameLength;
        while (cut > 0 && IsUtf8Continuation(name[cut])) --cut;
        name.resize(cut);
    }
    return name + " Output";
}

FSSpec MakeBatchOutputSpec(const FSSpec& source, const std::string& dropletName) {
    const std::string sourcePath = source.Path();
    std::error_code ec;
    fs::path base = sourcePath;
    if (!fs::is_directory(base, ec)) base = base.parent_path();

    fs::path folder = base / BatchOutputFolderName(dropletName);
    fs::create_directory(folder, ec);

    FSSpec output;
    size_t slash = sourcePath.rfind('/');
    std::string leaf = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
    // A movie of another kind (.mkv, .avi, ...) comes out as a QuickTime movie.
    std::string extension = fs::path(leaf).extension().string();
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (!extension.empty() && extension != ".mov" && extension != ".qt" && extension != ".mp4" && extension != ".m4v")
        leaf = fs::path(leaf).replace_extension(".mov").string();
    if (FSSpec::FromPath((folder / leaf).string(), output) != noErr) return {};
    return output;
}
