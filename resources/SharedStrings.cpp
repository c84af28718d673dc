#include "resources/SharedStrings.h"

#include "resources/StringLists.h"

namespace {
constexpr int16_t kFolderNameList = 1002;
SharedStrings gSharedStrings;
}  // namespace

const SharedStrings& TheSharedStrings() { return gSharedStrings; }

void LoadSharedStrings() {
    gSharedStrings.videoCodecFolder = GetIndString(kFolderNameList, 2);
    gSharedStrings.fourUpCodecFolder = GetIndString(kFolderNameList, 2);
    gSharedStrings.listBaseFolder = GetIndString(kFolderNameList, 1);
    gSharedStrings.listBaseFilterFolder = GetIndString(kFolderNameList, 3);
}

void ReleaseSharedStrings() { gSharedStrings = SharedStrings(); }
