// Where a batch puts the compressed copy of a dropped file: a folder named
// after the droplet beside the source ("<droplet name> Output"), under the
// source's own name.
#pragma once

#include <string>

#include "platform/media/FSSpec.h"

// Droplet names longer than this are cut to kCutDropletNameLength.
inline constexpr size_t kMaxDropletNameLength = 64;
inline constexpr size_t kCutDropletNameLength = 56;

// The droplet's name: the text of its path between the last "/" and the
// last "." after it (the whole file name when it has no extension).
std::string DropletNameOfPath(const std::string& dropletPath);

// "<name> Output", the name cut to its first 56 bytes (never inside a
// UTF-8 character) when it is longer than 64.
std::string BatchOutputFolderName(const std::string& dropletName);

// The output record for source; the output folder is created when missing
// (a failure is not reported: compressing into it then fails). An empty
// record when the result does not fit a file record. The file keeps the
// source's name; a source of another kind than .mov/.qt/.mp4/.m4v gets .mov.
FSSpec MakeBatchOutputSpec(const FSSpec& source, const std::string& dropletName);
