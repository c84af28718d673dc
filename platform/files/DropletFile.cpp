#include "platform/files/DropletFile.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/files/DropletDesktopEntry.h"
#include "resources/ResourceFile.h"

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kRecordVersion[4] = {0x00, 0x01, 0x00, 0x00};
// Version, crop, size, rotation, flags, watermark reference with an empty
// name, placement and four empty list counts.
constexpr size_t kShortestRecord = 4 + 16 + 12 + 4 + 2 + 4 + 1 + 4 + 16;

void PutLittleEndian32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = uint8_t(value >> (8 * i));
}

uint32_t GetLittleEndian32(const uint8_t* in) {
    return uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
}

// Only regular files: a folder or a pipe named as a droplet must not be
// opened (a pipe would block the batch).
bool IsRegularFile(const std::string& path, uintmax_t& size) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || ec) return false;
    size = fs::file_size(path, ec);
    return !ec;
}

bool ReadAt(std::ifstream& in, uintmax_t offset, void* out, size_t count) {
    in.clear();
    in.seekg(std::streamoff(offset));
    in.read(static_cast<char*>(out), std::streamsize(count));
    return in && size_t(in.gcount()) == count;
}

// Executable wherever it is readable, as a program file should be.
void MarkExecutable(const std::string& path) {
    std::error_code ec;
    fs::perms current = fs::status(path, ec).permissions();
    if (ec) return;
    fs::perms add = fs::perms::none;
    if ((current & fs::perms::owner_read) != fs::perms::none) add |= fs::perms::owner_exec;
    if ((current & fs::perms::group_read) != fs::perms::none) add |= fs::perms::group_exec;
    if ((current & fs::perms::others_read) != fs::perms::none) add |= fs::perms::others_exec;
    fs::permissions(path, add | fs::perms::owner_exec, fs::perm_options::add, ec);
}

}  // namespace

std::optional<std::vector<uint8_t>> LoadLauncherImage(int16_t id) {
    auto bytes = ResourceFile::Read("DROPLETAPP/" + std::to_string(id));
    if (!bytes || bytes->size() != kLauncherImageSize) return std::nullopt;
    return std::vector<uint8_t>(bytes->begin(), bytes->end());
}

bool WriteDropletFile(const std::string& path, const Handle& settings,
                      const std::vector<uint8_t>& launcherImage) {
    if (launcherImage.size() != kLauncherImageSize || settings.IsNull() || settings.Size() == 0 ||
        settings.Size() > kMaxDropletSettingsSize || path.empty())
        return false;

    // The droplet is put together beside its place and renamed into it, so
    // a failed write neither leaves half a droplet nor destroys the old one.
    const std::string temp = path + ".partial-" + std::to_string(getpid());
    bool written = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(reinterpret_cast<const char*>(launcherImage.data()),
                      std::streamsize(launcherImage.size()));
            out.seekp(std::streamoff(kProductWordOffset));
            out.write(kProductWord, kProductWordSize);
            out.seekp(0, std::ios::end);
            out.write(reinterpret_cast<const char*>(settings.Data()), std::streamsize(settings.Size()));
            uint8_t length[4];
            PutLittleEndian32(length, uint32_t(settings.Size()));
            out.write(reinterpret_cast<const char*>(length), sizeof length);
            written = bool(out.flush());
        }
    }
    std::error_code ec;
    if (written) {
        MarkExecutable(temp);
        fs::rename(temp, path, ec);
        if (!ec) return true;
    }
    fs::remove(temp, ec);
    return false;
}

bool WriteDropletFile(const std::string& path, const Handle& settings) {
    auto image = LoadLauncherImage(kLauncherImageId);
    return image && WriteDropletFile(path, settings, *image);
}

bool WriteDroplet(const Handle& settings, const FSSpec& destination) {
    if (!destination.IsSet()) return false;
    try {
        // The desktop entry beside it lets a file manager drop movies on it.
        return WriteDropletFile(destination.Path(), settings) && WriteDropletDesktopEntry(destination.Path());
    } catch (const std::exception&) {
        return false;  // writing a droplet fails without a message
    }
}

Handle ReadDropletSettings(const std::string& path) {
    uintmax_t size = 0;
    if (!IsRegularFile(path, size) || size < 4) return {};
    std::ifstream in(path, std::ios::binary);
    uint8_t trailer[4];
    if (!in || !ReadAt(in, size - 4, trailer, sizeof trailer)) return {};
    const uint32_t length = GetLittleEndian32(trailer);
    // Checked against the file before anything is allocated. A length of 0
    // is the launcher image's own padding: no record was ever added.
    if (length == 0 || length > size - 4 || length > kMaxDropletSettingsSize) return {};
    Handle block(length);
    if (!ReadAt(in, size - 4 - length, block.Data(), length)) return {};
    return block;
}

bool ReadSettingsBlockFromFile(const std::string& path, Handle& out, std::string& why) {
    uintmax_t size = 0;
    if (!IsRegularFile(path, size)) {
        why = "cannot read " + path;
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    uint8_t head[4] = {};
    char word[kProductWordSize] = {};
    if (!in || !ReadAt(in, 0, head, std::min<uintmax_t>(size, sizeof head))) {
        why = "cannot read " + path;
        return false;
    }

    const bool hasWordSlot = size >= kProductWordOffset + kProductWordSize &&
                             ReadAt(in, kProductWordOffset, word, sizeof word);
    if (hasWordSlot && std::memcmp(word, kProductWord, kProductWordSize) == 0) {
        Handle block = ReadDropletSettings(path);
        if (block.IsNull()) {
            why = path + " is a droplet without a readable settings record";
            return false;
        }
        out = std::move(block);
        return true;
    }
    if (hasWordSlot && std::memcmp(word, "NOFLAG", 6) == 0) {
        why = path + " is an unfinished droplet: it carries no settings";
        return false;
    }

    if (size < kShortestRecord || std::memcmp(head, kRecordVersion, sizeof head) != 0) {
        why = path + " is neither a droplet nor a settings record";
        return false;
    }
    if (size > kMaxDropletSettingsSize) {
        why = path + " is too big to be a settings record";
        return false;
    }
    Handle record{static_cast<size_t>(size)};
    if (!ReadAt(in, 0, record.Data(), record.Size())) {
        why = "cannot read " + path;
        return false;
    }
    out = std::move(record);
    return true;
}
