// The application's own folder: where the preset, filter and thumbnail
// folders live. The folder of the running program when it may be written
// (a portable copy), otherwise ${XDG_DATA_HOME:-~/.local/share}/Movelark.
#pragma once

#include <string>

std::string ApplicationFolder();
