#include "platform/files/DropletDesktopEntry.h"

#include <filesystem>
#include <fstream>

#include "platform/files/FileKinds.h"

namespace fs = std::filesystem;

namespace {

// A path as one argument of the Exec key.
std::string DesktopExecArgument(const std::string& path) {
    // Quoted as the shell would...
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // ...then as every desktop entry value: a backslash doubled, and %% for a percent sign.
    std::string value;
    for (char c : quoted) value += c == '\\' ? "\\\\" : c == '%' ? "%%" : std::string(1, c);
    return value;
}

}  // namespace

bool WriteDropletDesktopEntry(const std::string& dropletPath) {
    if (dropletPath.find_first_of("\n\r") != std::string::npos) return false;
    const fs::path droplet(dropletPath);
    const fs::path entry = fs::path(droplet).replace_extension(".desktop");
    std::string types;
    for (const std::string& type : MovieKindMimeTypes()) types += type + ";";
    const std::string temp = entry.string() + ".partial";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << "[Desktop Entry]\n"
            << "Type=Application\n"
            << "Name=" << droplet.stem().string() << "\n"
            << "Comment=Drop movies here: Movelark compresses them with this droplet's settings\n"
            << "Exec=" << DesktopExecArgument(fs::absolute(droplet).string()) << " %F\n"
            << "Icon=org.quenwick.Movelark\n"
            << "Terminal=false\n"
            << "MimeType=" << types << "\n";
        if (!out.flush()) return false;
    }
    // File managers start only entries that may be run.
    std::error_code ec;
    fs::permissions(temp, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec, ec);
    fs::rename(temp, entry, ec);
    if (ec) fs::remove(temp, ec);
    return !ec;
}
