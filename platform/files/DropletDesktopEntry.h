// The desktop entry written beside a droplet: NAME.desktop, running
// "NAME.droplet" %F, so that a file manager lets movies be dropped on the
// droplet and starts it with them.
#pragma once

#include <string>

// Writes (replacing) the entry beside the droplet; false when it cannot be
// written or the droplet's path cannot be named in one (a line break).
bool WriteDropletDesktopEntry(const std::string& dropletPath);
