#include "platform/files/ApplicationFolder.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program.parent_path();
}

}  // namespace

std::string ApplicationFolder() {
    const fs::path folder = ProgramFolder();
    std::error_code ec;
    if (!folder.empty() && fs::exists(folder / kPortableMarker, ec)) return folder.string();
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/') return (fs::path(dataHome) / "Movelark").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/tmp") / ".local/share/Movelark").string();
}

std::string ManualFolder() {
    const fs::path folder = ProgramFolder();
    return folder.empty() ? std::string() : (folder.parent_path() / "share" / "doc" / "movelark").string();
}

std::string ShippedDataFolder() {
    const fs::path folder = ProgramFolder();
    if (folder.empty()) return {};
    const fs::path shipped = folder.parent_path() / "share" / "movelark";
    std::error_code ec;
    return fs::is_directory(shipped, ec) ? shipped.string() : std::string();
}
