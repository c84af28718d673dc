// The preset folders as the command line sees them: put in place on first
// use (as the window does), presets found by file or by name, and listed.
#pragma once

#include <string>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"

namespace PresetLibrary {

// Tells the catalogs which folder is the application's own and copies the
// shipped preset, filter and thumbnail folders into it where missing.
void PrepareApplicationFolder();

// A video ('vide') or sound ('soun') preset: a file path, or the name of a
// file in the presets folder without its extension ("H.264 Web"), compared
// ignoring case. False with one line in `error`.
bool Find(const std::string& nameOrPath, OSType settingsKind, Handle& out, std::string& error);

// Reads a small file whole; false for anything but a regular file of at
// most 16 MB.
bool ReadSmallFile(const std::string& path, Handle& out);

struct Entry {
    std::string kind;  // "Video", "Sound", "Effects"
    std::string name;  // file name without its extension
    std::string path;
    std::string summary;
};
// Every preset in the preset and filter folders, video first, then sound,
// then effects, each sorted by name.
std::vector<Entry> List();

}  // namespace PresetLibrary
