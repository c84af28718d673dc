#include "platform/files/FileKinds.h"

#include "platform/files/UFileTypeTranslator.h"
#include "resources/ResourceFile.h"
#include "resources/StringLists.h"

#include <algorithm>
#include <sstream>

namespace {

struct StartupKind {
    OSType type;
    const char* extension;
    int16_t descriptionItem;
};

constexpr int16_t kFilterEntryList = 3000;

// Order matters: lookups take the first registered match.
constexpr StartupKind kStartupKinds[] = {
    {FourCC("QTfx"), "QTfx", 1}, {FourCC("QTcd"), "QTcd", 2}, {FourCC("QTac"), "QTac", 3},
    {FourCC("DExe"), "droplet", 4},  {FourCC("MooV"), "mov", 5},  {FourCC("AllI"), "AllI", 8},
    // Movies written and read through the MPEG-4 family of containers.
    {FourCC("MooV"), "mp4", 5},  {FourCC("MooV"), "m4v", 5},
};

}  // namespace

void RegisterStartupFileKinds() {
    for (const auto& kind : kStartupKinds) {
        std::string description = GetIndString(kFilterEntryList, kind.descriptionItem);
        UFileTypeTranslator::RegisterFileType(kind.type, kind.extension, &description);
    }
}

namespace {

// The two columns of the movie kinds the program carries.
std::vector<std::pair<std::string, std::string>> MovieKinds() {
    std::vector<std::pair<std::string, std::string>> kinds;
    const auto bytes = ResourceFile::Read("movie-kinds.txt");
    if (!bytes) return kinds;
    std::istringstream lines(std::string(bytes->begin(), bytes->end()));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t blank = line.find(' ');
        kinds.emplace_back(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
    }
    return kinds;
}

}  // namespace

std::vector<std::string> MovieKindExtensions() {
    std::vector<std::string> extensions;
    for (const auto& kind : MovieKinds()) extensions.push_back(kind.first);
    return extensions;
}

std::vector<std::string> MovieKindMimeTypes() {
    std::vector<std::string> types;
    for (const auto& kind : MovieKinds())
        if (!kind.second.empty() && std::find(types.begin(), types.end(), kind.second) == types.end())
            types.push_back(kind.second);
    return types;
}

std::string MovieKindsFilterEntry() {
    std::string patterns;
    for (const std::string& extension : MovieKindExtensions()) patterns += (patterns.empty() ? " *." : ";*.") + extension;
    if (patterns.empty()) return {};
    return GetIndString(kFilterEntryList, 9) + std::string(1, '\0') + patterns + std::string(2, '\0');
}
