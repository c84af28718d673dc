// The four texts of string list 1002 that start-up loads once for the
// catalog and preview classes: the presets folder of the video codec list
// and of the four-up comparison, and the two folder names of the list base.
#pragma once

#include <string>

struct SharedStrings {
    std::string videoCodecFolder;    // item 2
    std::string fourUpCodecFolder;   // item 2
    std::string listBaseFolder;      // item 1
    std::string listBaseFilterFolder;  // item 3
};

// Empty texts until LoadSharedStrings, and again after ReleaseSharedStrings.
const SharedStrings& TheSharedStrings();
void LoadSharedStrings();
void ReleaseSharedStrings();
