#include "app/FileKinds.h"

#include "app/UFileTypeTranslator.h"
#include "resources/StringLists.h"

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
