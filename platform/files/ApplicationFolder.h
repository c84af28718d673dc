// The application's own folder: where the preset, filter and thumbnail
// folders live. The folder of the running program when a file named
// movelark.portable stands beside it (a portable copy; the build tree makes
// one), otherwise ${XDG_DATA_HOME:-~/.local/share}/Movelark: an installed
// program never writes beside itself.
#pragma once

#include <string>

inline constexpr const char* kPortableMarker = "movelark.portable";

std::string ApplicationFolder();

// Where an installed program finds the folders it ships (presets, filters,
// thumbnails): <prefix>/share/movelark beside <prefix>/bin. Empty when the
// program is not installed that way.
std::string ShippedDataFolder();

// The folder of the manual: <prefix>/share/doc/movelark (the build tree
// lays out the same beside its program).
std::string ManualFolder();
