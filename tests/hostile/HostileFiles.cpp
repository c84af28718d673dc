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

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.flush()) << path;
}

std::string BE32(uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string BE16(uint16_t v) { return {char(v >> 8), char(v)}; }
std::string LE32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

fs::path SourceMovie() {
    return testsupport::FixtureMovie(
        "hostile-source.mov",
        "-f lavfi -i testsrc=s=96x64:r=10:d=1 -f lavfi -i sine=f=440:r=22050:d=1 -c:v mjpeg -q:v 6 -c:a pcm_s16le");
}

fs::path FastStartMovie() {
    return testsupport::FixtureMovie(
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

namespace {

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string PngChunk(const std::string& type, const std::string& data) {
    return BE32(uint32_t(data.size())) + type + data + BE32(Crc32(type + data));
}

}  // namespace

std::string ClaimedPNG(uint32_t width, uint32_t height) {
    const std::string header = BE32(width) + BE32(height) + std::string("\x08\x02\x00\x00\x00", 5);
    // A stored (uncompressed) zlib block of a few zero bytes.
    const std::string idat("\x78\x01\x01\x04\x00\xfb\xff\x00\x00\x00\x00\x00\x04\x00\x01", 15);
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", idat) +
           PngChunk("IEND", "");
}

std::string ClaimedBMP(int32_t width, int32_t height) {
    auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string pixels(16, '\x7f');
    std::string info = LE32(40) + LE32(uint32_t(width)) + LE32(uint32_t(height)) + le16(1) + le16(24) + LE32(0) +
                       LE32(uint32_t(pixels.size())) + LE32(2835) + LE32(2835) + LE32(0) + LE32(0);
    const uint32_t offset = 14 + uint32_t(info.size());
    return "BM" + LE32(offset + uint32_t(pixels.size())) + LE32(0) + LE32(offset) + info + pixels;
}

std::string DropletWith(const std::string& tail) {
    auto image = LoadLauncherImage();
    EXPECT_TRUE(image.has_value());
    std::string bytes = image ? std::string(image->begin(), image->end()) : std::string(kLauncherImageSize, ' ');
    bytes.replace(kProductWordOffset, kProductWordSize, kProductWord, kProductWordSize);
    return bytes + tail;
}

std::string Q(const fs::path& p) { return testsupport::ShellQuote(p.string()); }

int Movelark(const std::string& args, std::string* output) {
    int status = -1;
    const std::string out = testsupport::CaptureCommand(
        "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen timeout -s KILL 120 " +
            Q(testsupport::MovelarkBinary()) + " " + args + " 2>&1 </dev/null",
        &status);
    if (output) *output = out;
    return status;
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

bool DecodesCleanly(const fs::path& movie) {
    int status = -1;
    const std::string complaints =
        testsupport::CaptureCommand("ffmpeg -v error -nostdin -i " + Q(movie) + " -f null - 2>&1", &status);
    return status == 0 && complaints.empty();
}

}  // namespace hostile
