// Where a settings record can come from on the command line: the 'MSTG'
// user data of a movie, the trailer of a droplet, or a bare record file.
#pragma once

#include <string>

#include "framework/Handle.h"

// True with the record in `out`; false with a one-line reason (the file
// cannot be read, or holds no settings record).
bool LoadSettingsRecord(const std::string& path, Handle& out, std::string& why);
