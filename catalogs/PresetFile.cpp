#include "catalogs/PresetFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/media/AtomContainer.h"

namespace fs = std::filesystem;

bool ReadPresetFile(const std::string& path, Handle& out) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    const auto size = fs::file_size(path, ec);
    if (ec || size > kMaxPresetFileSize) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    Handle data(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(data.Data()), std::streamsize(size))) return false;
    // A file that grew while it was read is read again by whoever asks next.
    if (in.peek() != std::char_traits<char>::eof()) return false;
    out = std::move(data);
    return true;
}

bool ReadPresetFile(const FSSpec& file, Handle& out) {
    if (!file.IsSet()) return false;
    return ReadPresetFile(file.Path(), out);
}

bool WritePresetFile(const FSSpec& file, const Handle& data) {
    if (!file.IsSet()) return false;
    const fs::path target = file.Path();
    fs::path temporary = target;
    temporary += ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        if (data.Size() > 0) out.write(reinterpret_cast<const char*>(data.Data()), std::streamsize(data.Size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool CarriesMarker(const Handle& description, bool noneOnly) {
    AtomContainer parsed;
    if (!AtomContainer::TryParse(description, parsed)) return false;
    if (parsed.Find(kNotSettingsMarker) != nullptr) return true;
    return !noneOnly && parsed.Find(kDeletedSettingsMarker) != nullptr;
}
