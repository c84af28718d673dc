// What start-up does for the catalogs: tell them the application's own
// folder, put the shipped presets in place on the first start, and
// register the catalog pane classes with the layout loader.
#pragma once

#include <string>
#include <vector>

// Class IDs of the catalog panes in the window layouts.
constexpr const char* kVideoCodecListClass = "Vcod";
constexpr const char* kAudioCodecListClass = "Acod";
constexpr const char* kEffectsListClass = "Vefc";
constexpr const char* kSingleEffectsListClass = "Vef1";
constexpr const char* kDoubleEffectsListClass = "Vef2";
constexpr const char* kFilterListClass = "fLST";

void RegisterCatalogPaneClasses();

// Copies the shipped presets, filters and thumbnails into each of those
// folders that does not exist yet in the application folder. They come
// from shippedFolder/<folder> (an installed share/movelark) or, with
// shippedFolder empty, from the copies compiled in under ":/presets/".
// Returns the files written; a folder that exists is left alone, even
// when empty.
std::vector<std::string> InstallDefaultPresets(const std::string& shippedFolder = {});

// All of the above; applicationFolder empty keeps the folder of the
// running program.
void StartCatalogs(const std::string& applicationFolder, const std::string& shippedFolder = {});
