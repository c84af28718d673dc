#include "app/FileKinds.h"

#include "app/UFileTypeTranslator.h"
#include "resources/ResourceFile.h"
#include "resources/StringLists.h"

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
    {FourCC("DExe"), "exe", 4},  {FourCC("MooV"), "mov", 5},  {FourCC("AllI"), "AllI", 8},
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

std::vector<std::string> MovieKindExtensions() {
    std::vector<std::string> extensions;
    const auto bytes = ResourceFile::Read("movie-kinds.txt");
    if (!bytes) return extensions;
    std::istringstream lines(std::string(bytes->begin(), bytes->end()));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        extensions.push_back(line.substr(0, line.find(' ')));
    }
    return extensions;
}

std::string MovieKindsFilterEntry() {
    std::string patterns;
    for (const std::string& extension : MovieKindExtensions()) patterns += (patterns.empty() ? " *." : ";*.") + extension;
    if (patterns.empty()) return {};
    return GetIndString(kFilterEntryList, 9) + std::string(1, '\0') + patterns + std::string(2, '\0');
}
