#include "HostileFiles.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "app/DropletFile.h"

namespace fs = std::filesystem;

namespace hostile {

fs::path SourceMovie() {
    return FixtureMovie(
        "hostile-source.mov",
        "-f lavfi -i testsrc=s=96x64:r=10:d=1 -f lavfi -i sine=f=440:r=22050:d=1 -c:v mjpeg -q:v 6 -c:a pcm_s16le");
}

fs::path FastStartMovie() {
    return FixtureMovie(
        "hostile-faststart.mp4",
        "-f lavfi -i testsrc=s=96x64:r=10:d=1 -c:v mpeg4 -q:v 6 -movflags +faststart");
}

AtomAt FindTopLevelAtom(const std::string& file, const char type[4]) {
    size_t pos = 0;
    while (pos + 8 <= file.size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(file.data() + pos);
        const uint32_t size = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        if (std::memcmp(p + 4, type, 4) == 0) return {pos, size};
        if (size < 8) break;
        pos += size;
    }
    return {};
}

RecordBytes::RecordBytes() {
    U32(0x00010000);
    for (int i = 0; i < 4; ++i) U32(0);  // crop: the whole frame
    U32(0).U32(0).U32(0);                 // output width, height, rotation
    mBytes += std::string(4, '\0');       // flips, custom size, proportions
    mBytes += BE16(0) + BE32(0) + '\0';   // watermark volume, folder, no name
    U32(12);                              // placement
}

RecordBytes& RecordBytes::U32(uint32_t v) {
    mBytes += BE32(v);
    return *this;
}

RecordBytes& RecordBytes::Raw(const std::string& bytes) {
    mBytes += bytes;
    return *this;
}

std::string RecordBytes::Empty() { return RecordBytes().U32(0).U32(0).U32(0).U32(0).Str(); }

std::string RecordWithWatermark(const std::string& path) {
    std::string r = RecordBytes::Empty();
    // The name sits after version, crop, size, rotation, flags, volume and folder.
    const size_t nameAt = 4 + 16 + 12 + 4 + 2 + 4;
    r[nameAt] = char(path.size());
    r.insert(nameAt + 1, path);
    return r;
}

std::string RecordWithSegment(const std::string& description) {
    return RecordBytes().U32(0).U32(1).U32(uint32_t(description.size())).Raw(description).U32(0).U32(0).Str();
}

std::string DropletWith(const std::string& tail) {
    auto image = LoadLauncherImage();
    EXPECT_TRUE(image.has_value());
    std::string bytes = image ? std::string(image->begin(), image->end()) : std::string(kLauncherImageSize, ' ');
    bytes.replace(kProductWordOffset, kProductWordSize, kProductWord, kProductWordSize);
    return bytes + tail;
}

std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& dir) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) files.emplace_back(entry.path().string(), ReadBytes(entry.path()));
    std::sort(files.begin(), files.end());
    return files;
}

int LineCount(const std::string& text) {
    int lines = int(std::count(text.begin(), text.end(), '\n'));
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

}  // namespace hostile
