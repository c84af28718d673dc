#include "app/ApplicationFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

std::string ApplicationFolder() {
    std::error_code ec;
    fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && program.has_parent_path()) {
        fs::path folder = program.parent_path();
        if (access(folder.c_str(), W_OK) == 0) return folder.string();
    }
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/') return (fs::path(dataHome) / "Movelark").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/tmp") / ".local/share/Movelark").string();
}
