// The application's resource file: string lists, the 'vers' resource and
// the other pieces compiled into the program as Qt resources.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ResourceFile {

// True when the compiled-in resources are there (start-up checks this
// before it relies on any of them).
bool IsAvailable();

// The bytes of one resource, by its path inside the resource file
// ("strings.txt"); none when it does not exist.
std::optional<std::vector<char>> Read(const std::string& name);

// The short version string of resource 'vers' 1; empty when missing.
std::string ShortVersion();

}  // namespace ResourceFile
